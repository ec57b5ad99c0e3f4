// The cell clipboard (popup 1 and Ctrl+X/C/V over a cell), the code-view
// commands with the listing file, and the pointer routing of 85..89.
#include "shell_fixture.h"

#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

struct Commands : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
    std::array<std::uint8_t, 8> cell(int buffer, int n) const
    {
        std::array<std::uint8_t, 8> bytes{};
        for (int k = 1; k <= 8; ++k) bytes[k - 1] = read_byte(app.store, buffer, n, k);
        return bytes;
    }
    void fill(int buffer, int n, std::uint8_t first)
    {
        for (int k = 1; k <= 8; ++k) write_byte(app.store, buffer, n, k, static_cast<std::uint8_t>(first + k));
    }
    void popup(int cell_number, int command_id)
    {
        control(cell_image_of(cell_number), pf::EventType::RightClick);
        command(command_id);
    }
    void ctrl(char k) { key(true, false, false, k); }
    void alt(char k) { key(false, false, true, k); }
};

constexpr std::array<std::uint8_t, 8> kZeros{};

}  // namespace

TEST_F(Commands, PopupCutCopyPasteClearWorkAcrossBuffers)
{
    // Paste before anything was copied gives an empty cell.
    fill(1, 7, 0x10);
    popup(7, 42);
    EXPECT_EQ(cell(1, 7), kZeros);
    EXPECT_TRUE(is_modified(app.store, 1));

    fill(1, 3, 0x20);
    set_modified(app.store, 1, false);
    popup(3, 41);
    EXPECT_FALSE(is_modified(app.store, 1)) << "popup copy changes nothing";
    auto copied = cell(1, 3);
    click_tab(2);
    popup(100, 42);
    EXPECT_EQ(cell(2, 100), copied);
    EXPECT_TRUE(is_modified(app.store, 2));
    // Byte 1 is 0x21: bits 0 and 5 of the left column.
    EXPECT_EQ(hl::bitmap(cell_image_of(100)).at(0, 20), kInk);
    EXPECT_EQ(hl::bitmap(cell_image_of(100)).at(0, 4), kCellBackground);

    popup(100, 43);  // clear keeps the clipboard
    EXPECT_EQ(cell(2, 100), kZeros);
    popup(101, 42);
    EXPECT_EQ(cell(2, 101), copied);
    popup(101, 40);
    EXPECT_EQ(cell(2, 101), kZeros);
    EXPECT_EQ(hl::bitmap(cell_image_of(101)).at(0, 0), kCellBackground);
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(cell(1, 3), copied) << "buffer 1 untouched";
}

TEST_F(Commands, CtrlKeysActOnTheCellUnderThePointer)
{
    fill(1, 10, 0x30);
    auto original = cell(1, 10);
    hl::point_at(cell_image_of(10), 5, 5);
    ctrl('C');
    EXPECT_TRUE(is_modified(app.store, 1)) << "Ctrl+C over a cell marks the buffer";
    hl::point_at(cell_image_of(11), 31, 31);
    ctrl('V');
    EXPECT_EQ(cell(1, 11), original);
    ctrl('X');
    EXPECT_EQ(cell(1, 11), kZeros);
    EXPECT_EQ(hl::beeps(), 0);

    // The gap between two cells, and outside the view: only the beep.
    hl::point_at(cell_image_of(10), 32, 5);
    ctrl('V');
    hl::point_at(kBufferTabs, 5, 5);
    ctrl('X');
    EXPECT_EQ(hl::beeps(), 2);
    EXPECT_EQ(cell(1, 10), original);

    // Another mode: the beep, even over a cell.
    command(mode_command(Mode::Animation));
    hl::point_at(cell_image_of(10), 5, 5);
    ctrl('V');
    EXPECT_EQ(hl::beeps(), 3);
    EXPECT_EQ(cell(1, 10), original);
}

TEST_F(Commands, PasteOnTheOpenCellKeepsTheEditorTrue)
{
    fill(1, 1, 0x40);
    hl::point_at(cell_image_of(1), 5, 5);
    ctrl('C');
    control(cell_image_of(2), pf::EventType::DoubleClick);
    hl::point_at(cell_image_of(2), 5, 5);
    ctrl('V');
    EXPECT_EQ(cell(1, 2), cell(1, 1));
    EXPECT_EQ(open_cell(app.store), 2);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(31, 31), kOpenCellBackground);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(8, 8), kInk) << "0x41: byte 1 bit 0";
}

TEST_F(Commands, TextKeysFollowThePointerNotTheFocus)
{
    write_byte(app.store, 1, 1, 1, 0xAB);
    control(kConvertButton);
    pf::set_focus(kReadOutCode);
    hl::set_clipboard("before");
    hl::point_at(code_view_of(1), 100, 50);
    ctrl('A');
    ctrl('C');
    EXPECT_EQ(hl::clipboard(), pf::text(code_view_of(1)));
    EXPECT_NE(hl::clipboard().find("0xAB"), std::string::npos);
    EXPECT_EQ(hl::beeps(), 0);
    EXPECT_FALSE(is_modified(app.store, 1)) << "no cell was touched";

    hl::set_clipboard("kept");
    for (char k : {'A', 'C'}) {
        hl::point_at(cell_image_of(1), 5, 5);  // Ctrl+A over the screen view
        if (k == 'A') ctrl(k);
        hl::point_at_client({700, 500});
        ctrl(k);
    }
    EXPECT_EQ(hl::beeps(), 3);
    EXPECT_EQ(hl::clipboard(), "kept");
    hl::point_at_client({700, 500});
    alt('S');
    EXPECT_EQ(hl::beeps(), 4);
    EXPECT_TRUE(hl::file_dialogs().empty());

    // Alt+S over the code view saves the listing, and never beeps.
    hl::point_at(code_view_of(1), 10, 10);
    alt('S');
    EXPECT_EQ(hl::file_dialogs().size(), 1u);
    EXPECT_EQ(hl::beeps(), 4);
}

TEST_F(Commands, ListingFileGetsAsmAndTheViewsTextInWindows1251)
{
    write_byte(app.store, 1, 1, 1, 0x01);
    control(kConvertButton);
    const std::string view = pf::text(code_view_of(1));
    const std::pair<const char*, int> cases[] = {{"table", 1}, {"all", 2}, {"table.inc", 1}, {"table.txt", 2}};
    for (auto [typed, filter] : cases) {
        hl::answer_file_dialog({hl::temp_dir() / typed, filter});
        command(kCmdCodeSave);
    }
    expect_dialog(hl::file_dialogs()[0], true, "Сохранить файл...",
                  "*.asm, *.inc, *.txt|*.asm; *.inc; *.txt|Все файлы|*.*", 1, nullptr);
    for (const char* name : {"table.asm", "all.asm", "table.inc", "table.txt"})
        EXPECT_EQ(contents(hl::temp_dir() / name), *encode_cp1251(view)) << name;
    std::string asm_text = contents(hl::temp_dir() / "table.asm");
    EXPECT_EQ(asm_text.substr(0, 2), "\r\n");
    EXPECT_EQ(asm_text.substr(asm_text.size() - 2), "\r\n");
    EXPECT_EQ(asm_text.find('\n', 2), asm_text.find("\r\n", 2) + 1) << "CR LF throughout";
    EXPECT_TRUE(hl::message_boxes().empty());
    EXPECT_FALSE(is_modified(app.store, 1));
}

TEST_F(Commands, ListingFileThatCannotBeWrittenIsReportedAndTheOldFileStays)
{
    auto path = file("old.asm", "old");
    // The picture's name in the listing has a letter the code page cannot
    // hold: the message says so.
    const std::string cause = "Не удалось сохранить файл\n" + path_to_utf8(path) +
                              "\nТекст содержит символы, которых нет в кодировке Windows-1251 "
                              "(например, в имени файла рисунка).";
    set_file_name(app.store, 1, "/pictures/caf\u00e9.chr");
    pf::set_checked(kAddFileName, true);
    control(kConvertButton);
    hl::answer_file_dialog({path, 1});
    command(kCmdCodeSave);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Ошибка", cause, pf::Buttons::Ok, pf::Icon::Error);
    EXPECT_EQ(contents(path), "old");
    // The same for a character typed by the user.
    pf::set_text(code_view_of(1), "; ✓ done");
    hl::answer_file_dialog({path, 1});
    command(kCmdCodeSave);
    EXPECT_EQ(hl::message_boxes().back().text, cause);
    EXPECT_EQ(contents(path), "old");

    auto nowhere = hl::temp_dir() / "no-folder" / "x";
    pf::set_text(code_view_of(1), "; Кристалл 1");
    hl::answer_file_dialog({nowhere, 1});
    command(kCmdCodeSave);
    EXPECT_EQ(hl::message_boxes().back().text, "Не удалось сохранить файл\n" + path_to_utf8(nowhere) + ".asm");

    // A cancelled dialog writes nothing and says nothing.
    command(kCmdCodeSave);
    EXPECT_EQ(hl::message_boxes().size(), 3u);
}

}  // namespace lumetra::testing
