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
    for (int panel : {kCellEditorPanel, kConversionPanel, kAnimationPanel, kLogicPanel, kOptimisationPanel, kBinPanel})
        if (hl::is_shown(panel)) shown.push_back(panel);
    return shown;
}

std::vector<int> checked_mode_items()
{
    std::vector<int> checked;
    for (int item = kCmdFirstMode; item <= kCmdLastMode; ++item)
        if (pf::is_menu_item_checked(item)) checked.push_back(item);
    return checked;
}

}  // namespace

TEST_F(ShellTest, EachModeShowsItsPanelsCheckMarkAndName)
{
    start();
    const std::vector<int> panels[] = {
        {kCellEditorPanel, kConversionPanel}, {kAnimationPanel}, {kConversionPanel, kLogicPanel}, {kOptimisationPanel}, {kBinPanel}};
    EXPECT_EQ(shown_panels(), panels[0]) << "mode 1 at start";
    EXPECT_EQ(checked_mode_items(), std::vector<int>{16});
    EXPECT_EQ(pf::toolbar_tooltip(kCmdNextMode), kModeNames[0]);
    for (int m : {3, 5, 2, 4, 1, 4}) {
        command(mode_command(Mode(m)));
        EXPECT_EQ(shown_panels(), panels[m - 1]) << "mode " << m;
        EXPECT_EQ(checked_mode_items(), std::vector<int>{mode_command(Mode(m))});
        EXPECT_EQ(pf::toolbar_tooltip(kCmdNextMode), kModeNames[m - 1]);
    }
}

TEST_F(ShellTest, CtrlThreeShowsTheLogicPanelAboveTheConversionPanel)
{
    start();
    ASSERT_TRUE(hl::press_shortcut(true, false, false, '3'));
    pump();
    EXPECT_EQ(checked_mode_items(), std::vector<int>{18});
    EXPECT_EQ(pf::menu_item_text(mode_command(Mode::Logic)), "Лог. операции\t\tCtrl+3");
    EXPECT_EQ(pf::toolbar_tooltip(kCmdNextMode), "Логические операции");
    pf::Rect logic = pf::control_screen_rect(kLogicPanel), conversion = pf::control_screen_rect(kConversionPanel);
    EXPECT_LE(logic.y + logic.h, conversion.y);
    EXPECT_TRUE(hl::is_shown(kConvertButton)) << "the convert button can be pressed";
    EXPECT_FALSE(hl::is_shown(pixel_image_of(1, 0))) << "the cell editor is hidden";
}

TEST_F(ShellTest, ModeButtonPressedFiveTimesComesBackToTheSameMode)
{
    start();
    command(mode_command(Mode::Animation));
    for (int i = 0; i < 5; ++i) command(kCmdNextMode);
    EXPECT_EQ(mode_number(app.shell.mode), 2);
    EXPECT_EQ(checked_mode_items(), std::vector<int>{17});
    command(mode_command(Mode::Bin));
    command(kCmdNextMode);
    EXPECT_EQ(mode_number(app.shell.mode), 1) << "5 is followed by 1";
}

TEST_F(ShellTest, LeavingEditingClosesTheOpenCell)
{
    start();
    write_byte(app.store, 1, 5, 1, 0x01);
    command(mode_command(Mode::Editing));
    open_cell_by_hand(5);
    ASSERT_EQ(hl::bitmap(cell_image_of(5)).at(10, 10), kOpenCellBackground);
    ASSERT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(3, 3), kInk);

    command(mode_command(Mode::Logic));
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(hl::bitmap(cell_image_of(5)).at(10, 10), kCellBackground) << "painted normal";
    EXPECT_EQ(hl::bitmap(cell_image_of(5)).at(0, 0), kInk) << "with its picture";
    for (int id = kFirstPixelImage; id < kFirstPixelImage + kPixelImageCount; ++id) ASSERT_EQ(hl::bitmap(id).at(8, 8), kEditorGrey) << id;
    for (int id : {kReadOutCode, kReadOutNumbers}) EXPECT_EQ(pf::text(id), "") << id;
    EXPECT_FALSE(pf::is_enabled(kReadOutLabels));
    EXPECT_EQ(read_byte(app.store, 1, 5, 1), 0x01) << "the picture itself is not touched";
}

TEST_F(ShellTest, ChoosingEditingAgainKeepsTheOpenCell)
{
    start();
    open_cell_by_hand(9);
    command(mode_command(Mode::Editing));
    EXPECT_EQ(open_cell(app.store), 9);
    EXPECT_EQ(hl::bitmap(cell_image_of(9)).at(10, 10), kOpenCellBackground);
    EXPECT_TRUE(pf::is_enabled(kReadOutLabels));
    EXPECT_EQ(pf::text(kReadOutNumbers), "1\n\n1\n\n1");
}

TEST_F(ShellTest, EveryOtherModeClosesTheCellToo)
{
    start();
    for (int m = 2; m <= 5; ++m) {
        command(mode_command(Mode::Editing));
        open_cell_by_hand(100);
        command(mode_command(Mode(m)));
        EXPECT_EQ(open_cell(app.store), kNoCell) << "mode " << m;
        EXPECT_EQ(hl::bitmap(cell_image_of(100)).at(10, 10), kCellBackground) << "mode " << m;
        EXPECT_FALSE(pf::is_enabled(kReadOutLabels)) << "mode " << m;
    }
}

}  // namespace lumetra::testing
