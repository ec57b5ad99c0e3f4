// The five modes: panels, the menu check mark, the mode button's tooltip,
// and what leaving the editing mode does to an open cell.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

const char* const kModeNames[] = {"Редактирование", "Анимация", "Логические операции", "Оптимизация кода",
                                  "Преобразование кода в BIN формат"};

std::vector<int> shown_panels()
{
    std::vector<int> shown;
    for (int panel : {410, 16, 470, 580, 150, 190})
        if (hl::is_shown(panel)) shown.push_back(panel);
    return shown;
}

std::vector<int> checked_mode_items()
{
    std::vector<int> checked;
    for (int item = 16; item <= 20; ++item)
        if (pf::is_menu_item_checked(item)) checked.push_back(item);
    return checked;
}

}  // namespace

TEST_F(ShellTest, EachModeShowsItsPanelsCheckMarkAndName)
{
    start();
    const std::vector<int> panels[] = {{410, 16}, {470}, {16, 580}, {150}, {190}};
    EXPECT_EQ(shown_panels(), panels[0]) << "mode 1 at start";
    EXPECT_EQ(checked_mode_items(), std::vector<int>{16});
    EXPECT_EQ(pf::toolbar_tooltip(28), kModeNames[0]);
    for (int m : {3, 5, 2, 4, 1, 4}) {
        command(15 + m);
        EXPECT_EQ(shown_panels(), panels[m - 1]) << "mode " << m;
        EXPECT_EQ(checked_mode_items(), std::vector<int>{15 + m});
        EXPECT_EQ(pf::toolbar_tooltip(28), kModeNames[m - 1]);
    }
}

TEST_F(ShellTest, CtrlThreeShowsTheLogicPanelAboveTheConversionPanel)
{
    start();
    ASSERT_TRUE(hl::press_shortcut(true, false, false, '3'));
    pump();
    EXPECT_EQ(checked_mode_items(), std::vector<int>{18});
    EXPECT_EQ(pf::menu_item_text(18), "Лог. операции\t\tCtrl+3");
    EXPECT_EQ(pf::toolbar_tooltip(28), "Логические операции");
    pf::Rect logic = pf::control_screen_rect(580), conversion = pf::control_screen_rect(16);
    EXPECT_LE(logic.y + logic.h, conversion.y);
    EXPECT_TRUE(hl::is_shown(425)) << "the convert button can be pressed";
    EXPECT_FALSE(hl::is_shown(280)) << "the cell editor is hidden";
}

TEST_F(ShellTest, ModeButtonPressedFiveTimesComesBackToTheSameMode)
{
    start();
    command(17);
    for (int i = 0; i < 5; ++i) command(28);
    EXPECT_EQ(mode_number(app.shell.mode), 2);
    EXPECT_EQ(checked_mode_items(), std::vector<int>{17});
    command(20);
    command(28);
    EXPECT_EQ(mode_number(app.shell.mode), 1) << "5 is followed by 1";
}

TEST_F(ShellTest, LeavingEditingClosesTheOpenCell)
{
    start();
    write_byte(app.store, 1, 5, 1, 0x01);
    command(16);
    open_cell_by_hand(5);
    ASSERT_EQ(hl::bitmap(24).at(10, 10), kOpenCellBackground);
    ASSERT_EQ(hl::bitmap(280).at(3, 3), kInk);

    command(18);
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(hl::bitmap(24).at(10, 10), kCellBackground) << "painted normal";
    EXPECT_EQ(hl::bitmap(24).at(0, 0), kInk) << "with its picture";
    for (int id = 280; id <= 343; ++id) ASSERT_EQ(hl::bitmap(id).at(8, 8), kEditorGrey) << id;
    for (int id : {553, 554}) EXPECT_EQ(pf::text(id), "") << id;
    EXPECT_FALSE(pf::is_enabled(551));
    EXPECT_EQ(read_byte(app.store, 1, 5, 1), 0x01) << "the picture itself is not touched";
}

TEST_F(ShellTest, ChoosingEditingAgainKeepsTheOpenCell)
{
    start();
    open_cell_by_hand(9);
    command(16);
    EXPECT_EQ(open_cell(app.store), 9);
    EXPECT_EQ(hl::bitmap(28).at(10, 10), kOpenCellBackground);
    EXPECT_TRUE(pf::is_enabled(551));
    EXPECT_EQ(pf::text(554), "1\n\n1\n\n1");
}

TEST_F(ShellTest, EveryOtherModeClosesTheCellToo)
{
    start();
    for (int m = 2; m <= 5; ++m) {
        command(16);
        open_cell_by_hand(100);
        command(15 + m);
        EXPECT_EQ(open_cell(app.store), kNoCell) << "mode " << m;
        EXPECT_EQ(hl::bitmap(119).at(10, 10), kCellBackground) << "mode " << m;
        EXPECT_FALSE(pf::is_enabled(551)) << "mode " << m;
    }
}

}  // namespace lumetra::testing
