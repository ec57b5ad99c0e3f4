// The optimisation panel (mode 4): the scan into buffer 10 and how buffer 10
// is shown after it, the save question before it, the skip list, a click on
// the skip map, the list's popup commands and export, the two stored options.
#include "shell_fixture.h"

#include <algorithm>

#include "app/ids.h"
#include "core/settings.h"
#include "listing/skip_list.h"

namespace lumetra::testing {

namespace {

constexpr const char* kSavePrompt = "Сохранение файла";

struct OptimisationTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
        command(mode_command(Mode::Optimisation));
    }
    // Buffers 1 and 2 differ at cell 1 byte 5 and cell 2 byte 3 only.
    void two_pictures()
    {
        write_byte(app.store, 2, 1, 5, 0x11);
        write_byte(app.store, 2, 2, 3, 0x22);
    }
    std::uint8_t map_byte(int cell, int byte) const { return read_byte(app.store, kBufferCount, cell, byte); }
    void tick(int buffer, bool ticked)
    {
        pf::set_checked(scan_box_of(buffer), ticked);
        control(scan_box_of(buffer));
    }
    static int address_lines()
    {
        auto lines = hl::rich_lines(kSkipList);
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("                   Адрес  ", 0) == 0;
        }));
    }
};

}  // namespace

TEST_F(OptimisationTest, PanelStartsWithTwoBuffersTickedAndTheListAlone)
{
    std::vector<int> ticked;
    for (int id = kFirstScanBox; id <= kLastScanBox; ++id)
        if (pf::is_checked(id)) ticked.push_back(id);
    EXPECT_EQ(ticked, (std::vector<int>{kFirstScanBox, kFirstScanBox + 1}));
    EXPECT_TRUE(pf::is_enabled(kScanButton));
    EXPECT_NE(hl::control_spec(kScanButton).style & pf::kDefaultButton, 0u);
    EXPECT_EQ(hl::control_spec(kSkipListButton).tooltip, "Создание полного списка обходов одинаковых байт");
    const pf::ControlSpec& spin = hl::control_spec(kCountByteSpin);
    EXPECT_EQ((std::vector<int>{spin.min, spin.max, pf::value(kCountByteSpin)}), (std::vector<int>{1, 64, 1}));
    EXPECT_EQ(spin.style & pf::kReadOnly, 0u) << "the byte count can be typed";
    EXPECT_TRUE(pf::is_checked(kAutoScan));
    EXPECT_EQ(hl::control_spec(kSkipList).font, pf::Font::Default);
    EXPECT_TRUE(hl::is_shown(kSkipList));
    EXPECT_FALSE(pf::is_visible(kSkipListLabel) || pf::is_visible(kSkipListProgress));
    EXPECT_EQ(hl::control_spec(kSkipListProgress).max, 1170);
    // Inside the 234-pixel wide container.
    pf::Rect panel = pf::control_screen_rect(kOptimisationPanel), list = pf::control_screen_rect(kSkipList);
    EXPECT_LE(list.x + list.w, panel.x + panel.w);
    EXPECT_LE(list.y + list.h, panel.y + panel.h);
    // The tick boxes in two columns, odd buffers on the left.
    const auto box_at = [](int buffer) { return hl::control_spec(scan_box_of(buffer)).rect; };
    EXPECT_EQ((std::vector{box_at(1).x, box_at(2).x, box_at(3).x, box_at(9).x}), (std::vector{30, 130, 30, 30}));
    EXPECT_EQ((std::vector{box_at(1).y, box_at(2).y, box_at(3).y, box_at(9).y}), (std::vector{40, 40, 60, 120}));
}

TEST_F(OptimisationTest, ScanButtonNeedsTwoTickedBuffersAndModesLeaveItAlone)
{
    tick(2, false);
    EXPECT_FALSE(pf::is_enabled(kScanButton));
    command(mode_command(Mode::Editing));
    command(mode_command(Mode::Optimisation));
    EXPECT_FALSE(pf::is_enabled(kScanButton));
    tick(9, true);
    EXPECT_TRUE(pf::is_enabled(kScanButton));
    tick(1, false);
    EXPECT_FALSE(pf::is_enabled(kScanButton));
}

// Buffer 10 becomes current as after a tab choice, but the tab strip sends
// nothing and the focus stays where it was.
TEST_F(OptimisationTest, ScanWritesTheMapAndShowsBufferTenWithoutATabEvent)
{
    two_pictures();
    set_file_name(app.store, kBufferCount, "/maps/map.chr");
    click_tab(3);
    pf::set_checked(kAddFileName, true);
    pf::set_focus(kScanButton);
    hl::type_text(kCountByteSpin, "3");
    std::size_t tab_selections = hl::selection_log().size();

    control(kScanButton);
    for (int cell = 1; cell <= 2; ++cell)
        for (int byte = 1; byte <= kCellBytes; ++byte)
            EXPECT_EQ(map_byte(cell, byte), (cell == 1 && byte == 5) || (cell == 2 && byte == 3) ? 0x00 : 0xFF)
                << cell << "," << byte;
    EXPECT_EQ(map_byte(kCellCount, 8), 0xFF);
    EXPECT_EQ(current_buffer(app.store), kBufferCount);
    EXPECT_EQ(pf::selection(kBufferTabs), 9);
    EXPECT_EQ(hl::selection_log().size(), tab_selections + 1);
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(0, 0), kInk);
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(16, 0), kCellBackground) << "byte 5 of cell 1 differs";
    EXPECT_EQ(title(), kTitle + "/maps/map.chr");
    EXPECT_TRUE(hl::is_shown(code_view_of(10)));
    EXPECT_FALSE(hl::is_shown(code_view_of(3)));
    EXPECT_TRUE(app.listing_options[2].add_file_name) << "buffer 3 keeps what its panel showed";
    EXPECT_FALSE(pf::is_checked(kAddFileName)) << "the panel shows buffer 10's options";
    EXPECT_EQ(pf::focused_control(), kScanButton);
    EXPECT_FALSE(is_modified(app.store, kBufferCount));

    // Again from buffer 10 itself, with a longer run typed into the field:
    // positions 1..11 of the first group are absorbed.
    hl::type_text(kCountByteSpin, "6");
    control(kScanButton);
    EXPECT_EQ(map_byte(2, 1), 0x00);
    EXPECT_EQ(map_byte(2, 4), 0xFF);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(0, 0), kCellBackground);
}

TEST_F(OptimisationTest, ModifiedBufferTenIsAskedAboutBeforeItIsOverwritten)
{
    two_pictures();
    write_byte(app.store, kBufferCount, 1, 1, 0x5A);
    modify(kBufferCount);

    hl::answer_message_box(pf::Answer::Cancel);
    control(kScanButton);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], kSavePrompt, "Данные не были сохранены, сохранить их сейчас?",
               pf::Buttons::YesNoCancel, pf::Icon::Question);
    hl::answer_message_box(pf::Answer::Cancel);
    control(kSkipListButton);  // the automatic scan asks the same
    hl::answer_message_box(pf::Answer::Yes);
    control(kScanButton);  // the save dialog is cancelled
    EXPECT_EQ(box_titles(), (std::vector<std::string>{kSavePrompt, kSavePrompt, kSavePrompt}));
    EXPECT_EQ(hl::file_dialogs().size(), 1u);
    EXPECT_EQ(map_byte(1, 1), 0x5A) << "nothing scanned";
    EXPECT_TRUE(hl::rich_lines(kSkipList).empty()) << "nothing listed";
    EXPECT_EQ(current_buffer(app.store), 1);

    // Yes with a name: the old picture is saved first.
    fs::path saved = hl::temp_dir() / "map.chr";
    set_file_name(app.store, kBufferCount, saved);
    hl::answer_message_box(pf::Answer::Yes);
    control(kScanButton);
    EXPECT_EQ(contents(saved).substr(0, 1), "\x5A");
    EXPECT_EQ(map_byte(1, 1), 0xFF);
    EXPECT_FALSE(is_modified(app.store, kBufferCount));

    // No: scanned, and the scan leaves the flag as it was.
    modify(kBufferCount);
    hl::answer_message_box(pf::Answer::No);
    write_byte(app.store, kBufferCount, 1, 1, 0x5A);
    control(kScanButton);
    EXPECT_EQ(map_byte(1, 1), 0xFF);
    EXPECT_TRUE(is_modified(app.store, kBufferCount));
    EXPECT_EQ(hl::message_boxes().size(), 5u);
}

TEST_F(OptimisationTest, ListWithTheAutomaticScanIsHandedOverWholeAndFocused)
{
    two_pictures();
    set_file_name(app.store, 1, "/pictures/one.chr");
    pf::select_all(kSkipList);
    int assignments = hl::rich_assignments(kSkipList);

    hl::push_control(kSkipListButton, pf::EventType::Click);
    hl::push_close();  // waits for the list, then ends the program
    EXPECT_TRUE(pump());
    EXPECT_EQ(app.shell.mode, Mode::Optimisation);

    auto lines = hl::rich_lines(kSkipList);
    ASSERT_EQ(lines.size(), 1179u);
    EXPECT_EQ(lines[0], "Результат оптимизации файлов: ");
    EXPECT_EQ(lines[2], "/pictures/one.chr");
    EXPECT_EQ(address_lines(), kBufferBytes - 2);
    auto runs = hl::rich_runs(kSkipList);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ((std::vector<int>{runs[0].line, runs[0].start, runs[0].length}), (std::vector<int>{0, 0, 28}));
    EXPECT_EQ(runs[0].colour, (TextColour{76, 2, 179}));
    EXPECT_TRUE(runs[0].bold);
    EXPECT_LE(hl::rich_assignments(kSkipList) - assignments, 2) << "cleared, then the whole list at once";
    EXPECT_EQ(pf::value(kSkipListProgress), 1170) << "the bar ends full";
    EXPECT_GE(hl::repaints(kSkipListLabel), 1);
    EXPECT_FALSE(pf::is_visible(kSkipListLabel) || pf::is_visible(kSkipListProgress));
    EXPECT_TRUE(hl::is_shown(kSkipList));
    EXPECT_EQ(pf::focused_control(), kSkipList);
    EXPECT_EQ(hl::selected_text(kSkipList), "") << "the caret at the start";
    EXPECT_EQ(current_buffer(app.store), kBufferCount);
}

TEST_F(OptimisationTest, ListWithoutTheAutomaticScanListsBufferTenAsItIs)
{
    two_pictures();
    write_byte(app.store, kBufferCount, 7, 2, 0xFF);
    write_byte(app.store, kBufferCount, 100, 8, 0xFF);
    write_byte(app.store, kBufferCount, 100, 7, 0xFE);
    pf::set_checked(kAutoScan, false);
    hl::type_text(kCountByteSpin, "12");
    control(kSkipListButton);
    EXPECT_EQ(address_lines(), 2);
    EXPECT_EQ(map_byte(7, 2), 0xFF);
    EXPECT_EQ(current_buffer(app.store), 1) << "no scan, no switch";
    auto lines = hl::rich_lines(kSkipList);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Количество повторяющихся байт 12 "), lines.end());
}

TEST_F(OptimisationTest, ClickOnACellOfTheSkipMapListsItsBytes)
{
    two_pictures();
    control(cell_image_of(1));
    EXPECT_TRUE(hl::rich_lines(kSkipList).empty()) << "buffer 1 is current";

    control(kScanButton);
    control(cell_image_of(1));
    auto lines = hl::rich_lines(kSkipList);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Кристалл  —   1");
    EXPECT_EQ(lines[8], "------------------  ");
    EXPECT_EQ(lines[11], "Адрес:        07H  ");
    EXPECT_FALSE(hl::rich_runs(kSkipList).empty());
    EXPECT_EQ(app.optimisation.list.lines, lines);

    // A double click still opens the cell in the editing mode.
    control(cell_image_of(2), pf::EventType::DoubleClick);
    EXPECT_EQ(app.shell.mode, Mode::Editing);
    EXPECT_EQ(open_cell(app.store), 2);
    EXPECT_EQ(hl::rich_lines(kSkipList).size(), 12u);
}

TEST_F(OptimisationTest, PopupCommandsSelectAndCopyTheList)
{
    control(kScanButton);
    control(cell_image_of(128));
    hl::point_at(kSkipList, 20, 20);
    main_event(pf::EventKind::RightButton);
    EXPECT_EQ(hl::popups_shown(), (std::vector<int>{kPopupSkipList}));
    command(kCmdSkipSelectAll);
    EXPECT_EQ(hl::selected_text(kSkipList), pf::text(kSkipList));
    command(kCmdSkipCopy);
    EXPECT_EQ(hl::clipboard(), pf::text(kSkipList));
    EXPECT_NE(hl::clipboard().find("Адрес:        3FH  "), std::string::npos);
}

TEST_F(OptimisationTest, ExportWritesTheChosenFormatAndKeepsTheOldFileOnFailure)
{
    two_pictures();
    control(kSkipListButton);
    const StyledText& list = app.optimisation.list;
    ASSERT_EQ(list.lines.size(), 1178u);

    hl::answer_file_dialog({hl::temp_dir() / "skips", 1});
    command(kCmdSkipExport);
    expect_dialog(hl::file_dialogs().back(), true, "Сохранить файл...", "RTF|*.rtf|TXT|*.txt", 1);
    EXPECT_EQ(contents(hl::temp_dir() / "skips.rtf"), styled_text_as_rtf(list));
    hl::answer_file_dialog({hl::temp_dir() / "skips", 2});
    command(kCmdSkipExport);
    EXPECT_EQ(contents(hl::temp_dir() / "skips.txt"), styled_text_as_txt(list).value());
    // The filter decides, not the typed extension.
    hl::answer_file_dialog({hl::temp_dir() / "rich.txt", 1});
    command(kCmdSkipExport);
    EXPECT_EQ(contents(hl::temp_dir() / "rich.txt"), styled_text_as_rtf(list));
    command(kCmdSkipExport);  // cancelled
    EXPECT_EQ(hl::file_dialogs().size(), 4u);
    EXPECT_TRUE(hl::message_boxes().empty());

    // A folder that does not exist, and a file name the code page cannot
    // hold: the error box, and the old text file stays as it was.
    fs::path nowhere = hl::temp_dir() / "missing" / "skips";
    hl::answer_file_dialog({nowhere, 1});
    command(kCmdSkipExport);
    set_file_name(app.store, 1, "/pictures/\u00fc.chr");
    control(kSkipListButton);
    std::string old_text = contents(hl::temp_dir() / "skips.txt");
    hl::answer_file_dialog({hl::temp_dir() / "skips.txt", 2});
    command(kCmdSkipExport);
    ASSERT_EQ(hl::message_boxes().size(), 2u);
    expect_box(hl::message_boxes()[0], "Ошибка", "Не удалось сохранить файл\n" + (nowhere.string() + ".rtf"),
               pf::Buttons::Ok, pf::Icon::Error);
    EXPECT_EQ(hl::message_boxes()[1].text, "Не удалось сохранить файл\n" + (hl::temp_dir() / "skips.txt").string() +
                                               "\nТекст содержит символы, которых нет в кодировке Windows-1251 "
                                               "(например, в имени файла рисунка).");
    EXPECT_EQ(contents(hl::temp_dir() / "skips.txt"), old_text);
}

TEST_F(ShellTest, ByteCountAndAutomaticScanComeFromTheSettingsAndGoBack)
{
    struct Case {
        const char* stored;
        int shown;
        const char* typed;
        int saved;
    };
    for (Case c : {Case{"0", 1, "", 1}, Case{"65", 64, "23", 23}}) {
        hl::discard();
        hl::reset();
        App fresh;
        write_file(settings_path(hl::temp_dir()), std::string("[Optimizacia]\r\nCountByte = ") + c.stored + "\r\nAuto = 0\r\n");
        ASSERT_TRUE(start_up(fresh, {}));
        hl::push_command(mode_command(Mode::Optimisation));  // the panel is made when first shown
        ASSERT_FALSE(run_pass(fresh, pf::wait_event()));
        EXPECT_EQ(pf::value(kCountByteSpin), c.shown) << c.stored;
        EXPECT_FALSE(pf::is_checked(kAutoScan));
        if (*c.typed) hl::type_text(kCountByteSpin, c.typed);
        hl::push_command(kCmdClose);
        while (!run_pass(fresh, pf::wait_event())) {
        }
        Settings saved = parse_settings(contents(settings_path(hl::temp_dir())));
        EXPECT_EQ((std::vector<int>{saved.count_byte, saved.auto_scan}), (std::vector<int>{c.saved, 0})) << c.stored;
    }
    // Never shown, the panel still saves what its controls would have held.
    hl::discard();
    hl::reset();
    App unopened;
    write_file(settings_path(hl::temp_dir()), "[Optimizacia]\r\nCountByte = 65\r\nAuto = 3\r\n");
    ASSERT_TRUE(start_up(unopened, {}));
    EXPECT_FALSE(pf::control_exists(kCountByteSpin));
    hl::push_command(kCmdClose);
    while (!run_pass(unopened, pf::wait_event())) {
    }
    Settings saved = parse_settings(contents(settings_path(hl::temp_dir())));
    EXPECT_EQ((std::vector<int>{saved.count_byte, saved.auto_scan}), (std::vector<int>{64, 1}));
}

}  // namespace lumetra::testing
