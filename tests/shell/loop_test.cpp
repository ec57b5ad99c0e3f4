// The event loop: which commands and control events do something, and what
// is left alone.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

// What a user could see of the program, to prove an event changed nothing.
struct Seen {
    int mode, buffer, focus, beeps, boxes, dialogs, popups;
    bool quit;
    std::string title, tooltip, status, code;
    std::vector<bool> checks, shown;
    bool operator==(const Seen&) const = default;
};

Seen seen(const App& app)
{
    Seen s{mode_number(app.shell.mode), current_buffer(app.store), pf::focused_control(), hl::beeps(),
           static_cast<int>(hl::message_boxes().size()), static_cast<int>(hl::file_dialogs().size()),
           static_cast<int>(hl::popups_shown().size()), app.shell.quit_request, pf::window_title(pf::WindowId::Main),
           pf::toolbar_tooltip(kCmdNextMode), pf::text(kStatusText), pf::text(code_view_of(1)), {}, {}};
    for (int item = kCmdFirstMode; item <= kCmdLastMode; ++item) s.checks.push_back(pf::is_menu_item_checked(item));
    for (int panel : {kCellEditorPanel, kConversionPanel, kAnimationPanel, kLogicPanel, kOptimisationPanel, kBinPanel,
                      code_view_of(1), code_view_of(2)})
        s.shown.push_back(hl::is_shown(panel));
    return s;
}

std::vector<int> numbers_that_are_no_command()
{
    std::vector<int> numbers = {-5, 0, 6, 7, 9, 29};
    for (auto [from, to] : {std::pair{11, 15}, {21, 27}, {45, 49}, {53, 69}, {73, 84}, {90, 300}})
        for (int n = from; n <= to; ++n) numbers.push_back(n);
    return numbers;
}

}  // namespace

TEST_F(ShellTest, NumbersThatAreNoCommandAreIgnored)
{
    start();
    command(mode_command(Mode::Logic));
    Seen before = seen(app);
    for (int n : numbers_that_are_no_command()) {
        ASSERT_FALSE(command(n)) << n;
        ASSERT_EQ(seen(app), before) << "command " << n;
    }
}

TEST_F(ShellTest, ModeCommandsAndTheModeButtonRouteToTheModeSwitch)
{
    start();
    for (int m = 1; m <= 5; ++m) {
        command(mode_command(Mode(m)));
        EXPECT_EQ(mode_number(app.shell.mode), m);
    }
    // Button 28 steps on; after 5 comes 1.
    command(kCmdNextMode);
    EXPECT_EQ(mode_number(app.shell.mode), 1);
    EXPECT_TRUE(pf::is_menu_item_checked(mode_command(Mode::Editing)));
    EXPECT_TRUE(hl::is_shown(kCellEditorPanel));
}

TEST_F(ShellTest, CloseCommandEndsTheLoopAtOnce)
{
    start();
    hl::push_command(kCmdClose);
    hl::push_command(mode_command(Mode::Logic));
    EXPECT_TRUE(pump());
    EXPECT_EQ(hl::pending_events(), 1u);
    EXPECT_EQ(mode_number(app.shell.mode), 1);
}

TEST_F(ShellTest, ClosingAnotherWindowDoesNotEndTheProgram)
{
    start();
    hl::push_close(pf::WindowId::About);
    EXPECT_FALSE(pump());
    EXPECT_FALSE(app.shell.quit_request);
}

TEST_F(ShellTest, CodeViewPopupCommandsSelectAndCopyTheCurrentView)
{
    start();
    write_byte(app.store, 2, 1, 1, 0xFF);
    click_tab(2);
    control(kConvertButton);
    hl::set_clipboard("old");
    command(kCmdCodeCopy);
    EXPECT_EQ(hl::clipboard(), "") << "nothing selected yet";
    command(kCmdCodeSelectAll);
    command(kCmdCodeCopy);
    EXPECT_EQ(hl::clipboard(), pf::text(code_view_of(2)));
    EXPECT_NE(hl::clipboard().find("0xFF,0x00"), std::string::npos);
}

TEST_F(ShellTest, ControlsWithoutAnActionAreIgnored)
{
    start();
    command(mode_command(Mode::Animation));
    Seen before = seen(app);
    // Labels and frames (15, 420, 426..428, 430, 432, 471, 552) have no names.
    for (int id : {kStatusText, kScreenFrame, kScreenArea, kCellEditorFrame, kCellEditorArea, 15, kConversionPanel,
                   pixel_image_of(1, 0), pixel_image_of(8, 7), 420, kOptionDt, kOptionDb, kAddFileName, kGroupByCrystal,
                   426, 427, 428, kFirstIndent, 430, kSecondIndent, 432, kReadOutLabels, 552, kReadOutNumbers,
                   code_view_of(1), code_view_of(10), kAnimationPanel, 471, 1000}) {
        for (auto type : {pf::EventType::Click, pf::EventType::DoubleClick, pf::EventType::RightClick}) {
            control(id, type);
            ASSERT_EQ(seen(app), before) << "control " << id;
        }
    }
}

TEST_F(ShellTest, CloseImagesReturnToEditingOnALeftClickOnly)
{
    start();
    for (auto [mode, close] : {std::pair{2, kAnimationCloseImage}, {3, kLogicCloseImage}, {4, kOptimisationCloseImage}, {5, kBinCloseImage}}) {
        command(mode_command(Mode(mode)));
        control(close, pf::EventType::RightClick);
        control(close, pf::EventType::DoubleClick);
        EXPECT_EQ(mode_number(app.shell.mode), mode);
        control(close);
        EXPECT_EQ(mode_number(app.shell.mode), 1);
        EXPECT_TRUE(pf::is_menu_item_checked(mode_command(Mode::Editing)));
        EXPECT_EQ(pf::toolbar_tooltip(kCmdNextMode), "Редактирование");
    }
}

TEST_F(ShellTest, RightButtonOverTheCodeViewsOpensTheirPopupInEveryMode)
{
    start();
    auto right_button_at = [&](pf::Point client) {
        hl::point_at_client(client);
        main_event(pf::EventKind::RightButton);
    };
    for (int m = 1; m <= 5; ++m) {
        command(mode_command(Mode(m)));
        right_button_at({5, 341});
        right_button_at({549, 489});
    }
    EXPECT_EQ(hl::popups_shown(), std::vector<int>(10, 2));
    // The edges of the area do not count, nor does anywhere else.
    for (pf::Point p : {pf::Point{4, 400}, pf::Point{550, 400}, pf::Point{100, 340}, pf::Point{100, 490},
                        pf::Point{100, 100}, pf::Point{700, 400}})
        right_button_at(p);
    hl::point_at_screen({-100, -100});  // outside the window altogether
    main_event(pf::EventKind::RightButton);
    EXPECT_EQ(hl::popups_shown().size(), 10u);
}

TEST_F(ShellTest, EveryEventOfTheMainWindowRunsTheHoverPoll)
{
    start();
    hl::point_at(cell_image_of(11), 5, 5);  // the pointer arrives without a movement of its own
    command(999);
    EXPECT_EQ(pf::text(kStatusText), status_text(2, 1, 3));
    hl::point_at(kBufferTabs, 5, 5);
    hl::push_control(4711, pf::EventType::Click, pf::WindowId::About);
    pump();
    EXPECT_NE(pf::text(kStatusText), "") << "events of other windows skip the polls";
    main_event(pf::EventKind::FilesDropped);
    EXPECT_EQ(pf::text(kStatusText), "");
}

}  // namespace lumetra::testing
