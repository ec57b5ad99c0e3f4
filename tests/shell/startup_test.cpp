// Starting the program, the window it builds, and the settings it keeps.
#include "shell_fixture.h"

#include "app/program.h"
#include "core/file_io.h"
#include "core/settings.h"

namespace lumetra::testing {

namespace {

void write_settings(const std::string& text) { write_file(settings_path(hl::temp_dir()), text); }

// The main window's position when started with this [Window] section.
pf::Point position_after_start(App& app, const std::string& window)
{
    write_settings("[Window]\r\n" + window + "\r\n");
    EXPECT_TRUE(start_up(app, {}));
    return pf::window_position(pf::WindowId::Main);
}

std::string settings_text()
{
    return read_file_prefix(settings_path(hl::temp_dir()), 1 << 16).value_or("<no file>");
}

}  // namespace

TEST_F(ShellTest, FirstRunShowsBufferOneWithDefaultOptionsAndTheBareTitle)
{
    start();
    EXPECT_EQ(title(), kTitle);
    EXPECT_TRUE(hl::window_visible(pf::WindowId::Main));
    auto spec = hl::window_spec(pf::WindowId::Main);
    EXPECT_EQ((std::pair{spec.client_w, spec.client_h}), (std::pair{794, 518}));
    EXPECT_EQ(pf::window_position(pf::WindowId::Main), (pf::Point{20, 20}));

    EXPECT_EQ(current_buffer(app.store), 1);
    EXPECT_EQ(pf::selection(kBufferTabs), 0);
    for (int b = 1; b <= kBufferCount; ++b) EXPECT_EQ(pf::is_visible(code_view_of(b)), b == 1) << b;
    expect_listing_panel(true, false, false, true, 12, 12);
    for (const auto& options : app.listing_options) EXPECT_EQ(options, ListingOptions{});

    EXPECT_EQ(pf::text(kStatusText), "");
    EXPECT_FALSE(pf::is_enabled(kReadOutLabels));
    EXPECT_TRUE(hl::accepting_drops());

    // The start-up window was shown while building and is gone before the loop.
    EXPECT_TRUE(hl::window_shown(pf::WindowId::Startup));
    EXPECT_FALSE(pf::window_exists(pf::WindowId::Startup));
    EXPECT_TRUE(hl::window_spec(pf::WindowId::Startup).topmost);
}

TEST_F(ShellTest, CellImagesStartInTheBackgroundColourAndPixelImagesGrey)
{
    start();
    for (int id = kFirstCellImage; id <= kLastCellImage; ++id) {
        const pf::Bitmap& b = hl::bitmap(id);
        ASSERT_EQ(b.width, 32);
        ASSERT_EQ(b.height, 32);
        ASSERT_EQ(b.at(0, 0), (pf::Rgb{97, 213, 155})) << id;
        ASSERT_EQ(b.at(31, 31), (pf::Rgb{97, 213, 155})) << id;
    }
    for (int id = kFirstPixelImage; id < kFirstPixelImage + kPixelImageCount; ++id) {
        ASSERT_EQ(hl::bitmap(id).width, 16);
        ASSERT_EQ(hl::bitmap(id).at(7, 7), (pf::Rgb{154, 154, 154})) << id;
    }
}

TEST_F(ShellTest, ScreenViewCellsAreOnePixelApartAndTheCrystalsThree)
{
    start();
    auto rect = [](int cell) { return pf::control_screen_rect(cell_image_of(cell)); };
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 15; ++column) {
            pf::Rect left = rect(row * 16 + column + 1), right = rect(row * 16 + column + 2);
            int gap = right.x - (left.x + left.w);
            ASSERT_EQ(gap, column == 7 ? 3 : 1) << "row " << row << " column " << column;
            ASSERT_EQ(left.y, right.y);
        }
        if (row < 7) {
            ASSERT_EQ(rect(row * 16 + 17).y - (rect(row * 16 + 1).y + 32), 1);
        }
    }
    // Inside the white container 9, which sits inside the bordered frame 8.
    pf::Rect area = pf::control_screen_rect(kScreenArea);
    EXPECT_EQ(rect(1).x - area.x, 1);
    EXPECT_EQ(rect(8).x + 32 - area.x, 264) << "column 7 ends where x = 264 begins";
    EXPECT_EQ(rect(9).x - area.x, 267);
    EXPECT_EQ(hl::control_spec(kScreenArea).background, (pf::Rgb{255, 255, 255}));

    // The pixel images of the cell editor: 280..287 is the left column.
    pf::Rect p280 = pf::control_screen_rect(pixel_image_of(1, 0)), p287 = pf::control_screen_rect(pixel_image_of(1, 7)),
             p288 = pf::control_screen_rect(pixel_image_of(2, 0));
    EXPECT_EQ(p287.x, p280.x);
    EXPECT_EQ(p287.y - p280.y, 7 * 17);
    EXPECT_EQ(p288.x - p280.x, 17);
}

TEST_F(ShellTest, MenusToolbarAndShortcutsCarryTheirCommands)
{
    start();
    const auto& menu = hl::main_menu();
    ASSERT_EQ(menu.size(), 3u);
    for (int i = 0; const char* text : {"Файл", "Режим", "Справка"}) EXPECT_EQ(menu[i++].text, text);
    const pf::MenuItem& recent = menu[0].items[5];
    EXPECT_EQ(recent.text, "Недавние файлы");
    ASSERT_EQ(recent.items.size(), 10u) << "always ten, empty ones included";
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent), "1)  ");
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent + 9), "10)  ");
    EXPECT_EQ(pf::menu_item_text(kCmdSaveAs), "Сохранить как...\tCtrl+Shift+S");
    EXPECT_EQ(pf::menu_item_text(kCmdCodeSave), "Сохранить в файле\tAlt+S");
    EXPECT_EQ(menu[0].items[0].icon, 0);
    EXPECT_EQ(hl::popup_menu(1)[0].icon, 7) << "cut";
    EXPECT_EQ(hl::popup_menu(3)[3].icon, 2) << "save";

    // The status text stands eight pixels right of the empty last button.
    const auto& toolbar = hl::toolbar();
    ASSERT_EQ(toolbar.size(), 9u);
    EXPECT_EQ(toolbar[7].kind, pf::ToolbarItemKind::HelpButton);
    EXPECT_EQ(toolbar[8].kind, pf::ToolbarItemKind::Spacer);
    EXPECT_EQ(hl::control_spec(kStatusText).parent, pf::kToolbarParent);
    EXPECT_EQ(hl::control_spec(kStatusText).rect, (pf::Rect{pf::toolbar_spacer_left() + 8, 4, 240, 15}));
    EXPECT_EQ(pf::toolbar_tooltip(kCmdNew), "Создать новый файл с очисткой текущего поля");
    EXPECT_EQ(pf::toolbar_tooltip(kCmdAbout), "");

    EXPECT_EQ(hl::shortcuts().size(), 14u);
    EXPECT_TRUE(hl::press_shortcut(true, true, false, 'S'));
    EXPECT_TRUE(hl::press_shortcut(false, false, true, 'S'));
    EXPECT_FALSE(hl::press_shortcut(false, false, false, 'S'));
    std::vector<int> got;
    while (hl::pending_events() > 0) got.push_back(pf::wait_event().number);
    EXPECT_EQ(got, (std::vector<int>{3, 89}));
}

TEST_F(ShellTest, StoredPositionInsideTheLimitsIsKept)
{
    EXPECT_EQ(position_after_start(app, "X = -20\r\nY = 3000"), (pf::Point{-20, 3000}));
}

TEST_F(ShellTest, StoredPositionOutsideTheLimitsBecomesTen)
{
    EXPECT_EQ(position_after_start(app, "X = -21\r\nY = 3001"), (pf::Point{10, 10}));
}

TEST_F(ShellTest, EachCoordinateIsClampedOnItsOwn)
{
    EXPECT_EQ(position_after_start(app, "X = 5000\r\nY = 700"), (pf::Point{10, 700}));
}

TEST_F(ShellTest, FirstRunWritesTheSettingsFileBeforeExit)
{
    start();
    EXPECT_NE(settings_text().find("[Window]\r\nX = 20\r\nY = 20\r\n"), std::string::npos);
}

TEST_F(ShellTest, QuittingSavesTheWindowPositionAndKeepsTheToolSettingsAsRead)
{
    write_settings("[Window]\r\nX = 5000\r\nY = 40\r\n[Anime]\r\nDelay = 9\r\n[Optimizacia]\r\nCountByte = 33\r\n"
                   "Auto = 0\r\n[RecentFiles]\r\nFile1 = C:\\a.chr\r\n");
    start();
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent), "1)  C:\\a.chr");
    EXPECT_TRUE(command(kCmdClose));
    Settings saved = parse_settings(settings_text());
    EXPECT_EQ((std::vector<int>{saved.x, saved.y, saved.delay_index, saved.count_byte, saved.auto_scan}),
              (std::vector<int>{10, 40, 9, 33, 0}));
    EXPECT_EQ(saved.recent[0], "C:\\a.chr");
}

TEST_F(ShellTest, RunProgramEndsThroughTheCloseBoxWithExitCodeZero)
{
    hl::press_shortcut(true, false, false, '3');
    hl::push_close();
    hl::push_command(mode_command(Mode::Editing));  // never read: the program has ended
    EXPECT_EQ(run_program({}), 0);
    EXPECT_TRUE(hl::shut_down());
    EXPECT_FALSE(hl::ran_dry());
    EXPECT_EQ(hl::pending_events(), 1u);
    EXPECT_EQ(parse_settings(settings_text()).x, 20);
}

TEST_F(ShellTest, MainWindowThatCannotBeCreatedEndsTheProgramWithoutSaving)
{
    write_settings("[Window]\r\nX = 5000\r\nY = 40\r\n");
    hl::fail_window_creation(pf::WindowId::Main);
    hl::push_close();
    EXPECT_EQ(run_program({}), 0);
    EXPECT_TRUE(hl::shut_down());
    EXPECT_EQ(hl::pending_events(), 1u) << "no loop ran";
    EXPECT_EQ(settings_text(), "[Window]\r\nX = 5000\r\nY = 40\r\n");
}

TEST_F(ShellTest, StartupWindowFailingToOpenIsNoError)
{
    hl::fail_window_creation(pf::WindowId::Startup);
    start();
    EXPECT_FALSE(hl::window_shown(pf::WindowId::Startup));
    EXPECT_TRUE(hl::window_visible(pf::WindowId::Main));
}

}  // namespace lumetra::testing
