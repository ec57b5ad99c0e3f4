// Opening cells in the cell editor, drawing with the held buttons, and the
// read-out of the shown cell.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

struct CellEditing : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
    void double_click(int cell) { control(cell_image_of(cell), pf::EventType::DoubleClick); }
    // The pointer onto a pixel image with the buttons as given.
    void press(int pixel_image, int dx, int dy, bool left, bool right)
    {
        hl::hold_buttons(left, right);
        move_to(pixel_image, dx, dy);
    }
    std::uint8_t byte(int cell, int k) const { return read_byte(app.store, current_buffer(app.store), cell, k); }
};

}  // namespace

TEST_F(CellEditing, PressInsideAPixelSetsItAndShowsItEverywhere)
{
    double_click(1);
    EXPECT_EQ(pf::text(kReadOutCode), "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00");
    press(pixel_image_of(1, 0), 5, 5, true, false);
    EXPECT_EQ(byte(1, 1), 0x01);
    EXPECT_EQ(pf::text(kReadOutCode), "0x01,0x00,0x00,0x00,0x00,0x00,0x00,0x00");
    EXPECT_EQ(pf::text(kReadOutNumbers), "1\n\n1\n\n1");
    EXPECT_TRUE(pf::is_enabled(kReadOutLabels));
    // Cell image 20: a black 4 x 4 square at the top-left on the open colour.
    for (auto [x, y, colour] : {std::tuple{0, 0, kInk}, {3, 3, kInk}, {4, 0, kOpenCellBackground}, {0, 4, kOpenCellBackground}})
        EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(x, y), colour) << x << "," << y;
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(8, 8), kInk);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 1)).at(8, 8), kCellBackground);
}

TEST_F(CellEditing, OnlyTheInnerPartOfAPixelImageDraws)
{
    double_click(1);
    for (auto [dx, dy] : {std::pair{1, 5}, {5, 1}, {15, 5}, {5, 15}, {0, 0}}) {
        press(pixel_image_of(1, 0), dx, dy, true, false);
        EXPECT_EQ(byte(1, 1), 0x00) << dx << "," << dy;
        hl::hold_buttons(false, false);
    }
    press(pixel_image_of(1, 0), 14, 14, true, false);
    EXPECT_EQ(byte(1, 1), 0x01);
    press(pixel_image_of(1, 1), 2, 2, true, false);
    EXPECT_EQ(byte(1, 1), 0x03);
}

TEST_F(CellEditing, DraggingWithTheLeftButtonDrawsAHorizontalLine)
{
    double_click(1);
    for (int image : {pixel_image_of(1, 0), pixel_image_of(2, 0), pixel_image_of(3, 0)}) press(image, 8, 8, true, false);
    EXPECT_EQ(pf::text(kReadOutCode), "0x01,0x01,0x01,0x00,0x00,0x00,0x00,0x00");
    for (int x : {0, 4, 8}) EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(x + 1, 1), kInk) << x;
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(13, 1), kOpenCellBackground);
}

TEST_F(CellEditing, StayingOnOnePixelChangesItOnceAndLeftWins)
{
    double_click(5);
    press(pixel_image_of(1, 0), 5, 5, false, true);  // clearing a clear pixel
    press(pixel_image_of(1, 0), 5, 5, true, true);   // both down: the left button sets
    EXPECT_EQ(byte(5, 1), 0x01);
    // Still held on the same pixel: a byte changed behind the editor's back stays.
    write_byte(app.store, 1, 5, 1, 0x00);
    press(pixel_image_of(1, 0), 6, 6, true, true);
    EXPECT_EQ(byte(5, 1), 0x00);
    write_byte(app.store, 1, 5, 1, 0x01);
    press(pixel_image_of(1, 0), 6, 6, false, true);  // the right button alone erases
    EXPECT_EQ(byte(5, 1), 0x00);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(8, 8), kCellBackground);
    EXPECT_EQ(pf::text(kReadOutCode).substr(0, 4), "0x00");
    // Releasing and pressing again on the same pixel counts as a new press.
    press(pixel_image_of(1, 0), 6, 6, false, false);
    press(pixel_image_of(1, 0), 6, 6, true, false);
    EXPECT_EQ(byte(5, 1), 0x01);
}

TEST_F(CellEditing, ReadOutNamesCrystalPageAndSegment)
{
    write_byte(app.store, 1, 9, 2, 0x7E);
    write_byte(app.store, 1, 9, 8, 0xA5);
    double_click(9);
    EXPECT_EQ(pf::text(kReadOutNumbers), "2\n\n1\n\n1");
    EXPECT_EQ(pf::text(kReadOutCode), "0x00,0x7E,0x00,0x00,0x00,0x00,0x00,0xA5");
    EXPECT_EQ(hl::bitmap(pixel_image_of(8, 7)).at(0, 0), kInk);  // byte 8 bit 7
    EXPECT_EQ(hl::bitmap(pixel_image_of(8, 0)).at(0, 0), kInk);  // byte 8 bit 0
    EXPECT_EQ(hl::bitmap(pixel_image_of(8, 1)).at(0, 0), kCellBackground);
    double_click(128);
    EXPECT_EQ(pf::text(kReadOutNumbers), "2\n\n8\n\n8");
    EXPECT_EQ(hl::bitmap(cell_image_of(9)).at(16, 16), kCellBackground) << "cell 9 painted normal again";
    EXPECT_EQ(hl::bitmap(cell_image_of(128)).at(16, 16), kOpenCellBackground);
    EXPECT_EQ(open_cell(app.store), 128);
}

TEST_F(CellEditing, FocusOnTheReadOutSelectsItsWholeLine)
{
    double_click(3);
    control(kReadOutCode, pf::EventType::GainFocus);
    EXPECT_EQ(hl::selected_text(kReadOutCode), "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00");
}

TEST_F(CellEditing, ClicksCloseTheCellExceptOnTheOpenCellItself)
{
    double_click(2);
    control(cell_image_of(2));
    EXPECT_EQ(open_cell(app.store), 2);
    control(cell_image_of(3));
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(16, 16), kCellBackground);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(8, 8), kEditorGrey);
    EXPECT_EQ(pf::text(kReadOutNumbers), "1\n\n1\n\n2") << "the last read-out stays";

    // A right click closes too and offers popup 1 for that cell.
    double_click(2);
    control(cell_image_of(21), pf::EventType::RightClick);
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(app.shell.popup_target, 21);
    EXPECT_EQ(hl::popups_shown(), std::vector<int>{1});
}

TEST_F(CellEditing, OpeningACellMarksTheBufferSoThatNewAsks)
{
    double_click(1);
    EXPECT_TRUE(is_modified(app.store, 1));
    command(kCmdNew);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Сохранение файла", "Данные не были сохранены, сохранить их сейчас?",
               pf::Buttons::YesNoCancel, pf::Icon::Question);
}

TEST_F(CellEditing, OtherModesOpenACellOnlyByDoubleClick)
{
    command(mode_command(Mode::Animation));
    control(cell_image_of(11), pf::EventType::Click);
    control(cell_image_of(11), pf::EventType::RightClick);
    EXPECT_TRUE(hl::popups_shown().empty());
    EXPECT_EQ(mode_number(app.shell.mode), 2);
    double_click(11);
    EXPECT_EQ(mode_number(app.shell.mode), 1);
    EXPECT_TRUE(pf::is_menu_item_checked(mode_command(Mode::Editing)));
    EXPECT_EQ(open_cell(app.store), 11);
    EXPECT_EQ(pf::text(kReadOutNumbers), "2\n\n1\n\n3");
}

}  // namespace lumetra::testing
