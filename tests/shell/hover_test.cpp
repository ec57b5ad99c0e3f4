// The hover highlight of the screen view and the status line.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

std::vector<int> hovered_cells()
{
    std::vector<int> cells;
    for (int id = kFirstCellImage; id <= kLastCellImage; ++id)
        if (hl::bitmap(id).at(31, 0) == kHoverBackground) cells.push_back(id - 19);
    return cells;
}

}  // namespace

TEST_F(ShellTest, HighlightFollowsThePointerAndTheStatusLineNamesTheCell)
{
    start();
    // Cell 10; the last pixel of cell 1; cell 128; cell 17, second band, left.
    struct Case { int image, dx, dy, cell, crystal, page, segment; };
    for (auto c : {Case{29, 5, 5, 10, 2, 1, 2}, {20, 31, 31, 1, 1, 1, 1}, {147, 0, 0, 128, 2, 8, 8}, {36, 16, 16, 17, 1, 2, 1}}) {
        move_to(c.image, c.dx, c.dy);
        EXPECT_EQ(hovered_cells(), std::vector<int>{c.cell});
        EXPECT_EQ(pf::text(kStatusText), status_text(c.crystal, c.page, c.segment));
    }
}

TEST_F(ShellTest, HoveredCellKeepsItsPicture)
{
    start();
    write_byte(app.store, 1, 2, 1, 0x01);
    paint_all_cells(app, 1);
    move_to(cell_image_of(2), 10, 10);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(0, 0), kInk);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(10, 10), kHoverBackground);
    move_to(cell_image_of(3), 10, 10);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(0, 0), kInk);
    EXPECT_EQ(hl::bitmap(cell_image_of(2)).at(10, 10), kCellBackground);
}

TEST_F(ShellTest, LeavingTheViewRemovesTheHighlightAndEmptiesTheStatusLine)
{
    start();
    move_to(cell_image_of(41), 3, 3);
    ASSERT_EQ(hovered_cells().size(), 1u);
    move_to(kBufferTabs, 100, 5);  // over the tabs
    EXPECT_TRUE(hovered_cells().empty());
    EXPECT_EQ(pf::text(kStatusText), "");

    // Back onto the same cell: it lights again.
    move_to(cell_image_of(41), 3, 3);
    EXPECT_EQ(hovered_cells(), std::vector<int>{41});
    EXPECT_EQ(pf::text(kStatusText), status_text(2, 3, 1));
}

TEST_F(ShellTest, GapsBetweenCellsKeepTheLastHighlight)
{
    start();
    move_to(cell_image_of(8), 4, 4);    // cell 8, the last of crystal 1
    move_to(cell_image_of(8), 33, 10);  // in the 3-pixel gap between the crystals
    EXPECT_EQ(hovered_cells(), std::vector<int>{8});
    move_to(cell_image_of(8), 34, 10);  // still the gap: x = 267 is where cell 9 begins
    EXPECT_EQ(hovered_cells(), std::vector<int>{8});
    move_to(cell_image_of(8), 35, 10);
    EXPECT_EQ(hovered_cells(), std::vector<int>{9});
    EXPECT_EQ(pf::text(kStatusText), status_text(2, 1, 1));
}

TEST_F(ShellTest, AtMostOneCellIsEverHighlighted)
{
    start();
    for (int id = kFirstCellImage; id <= kLastCellImage; id += 7) {
        move_to(id, 31, 0);
        ASSERT_EQ(hovered_cells(), std::vector<int>{id - 19});
        move_to(kScreenArea, 0, 0);  // container 9's own corner, outside every cell
        ASSERT_EQ(hovered_cells().size(), 1u);
    }
    move_to(kConversionPanel, 5, 5);
    EXPECT_TRUE(hovered_cells().empty());
}

TEST_F(ShellTest, StayingOnOneCellRepaintsNothing)
{
    start();
    move_to(cell_image_of(31), 5, 5);
    int painted = hl::bitmap_assignments(cell_image_of(31));
    for (int i = 0; i < 5; ++i) move_to(cell_image_of(31), 6 + i, 5);
    EXPECT_EQ(hl::bitmap_assignments(cell_image_of(31)), painted);
    for (int i = 0; i < 3; ++i) move_to(kConvertButton, 5, 5);
    EXPECT_EQ(hl::bitmap_assignments(cell_image_of(31)), painted + 1) << "the highlight is removed once";
}

TEST_F(ShellTest, NoHighlightWhileACellIsOpenOrInOtherModes)
{
    start();
    set_open_cell(app.store, 3);
    move_to(cell_image_of(21), 5, 5);
    EXPECT_TRUE(hovered_cells().empty());
    EXPECT_EQ(pf::text(kStatusText), "");

    for (int m : {2, 3, 5}) {
        command(mode_command(Mode(m)));
        move_to(cell_image_of(21 + m), 5, 5);
        EXPECT_TRUE(hovered_cells().empty()) << "mode " << m;
    }
    // The optimisation mode hovers over buffer 10 only.
    command(mode_command(Mode::Optimisation));
    move_to(cell_image_of(22), 5, 5);
    EXPECT_TRUE(hovered_cells().empty());
    click_tab(10);
    move_to(cell_image_of(22), 5, 5);
    EXPECT_EQ(hovered_cells(), std::vector<int>{22});
    EXPECT_EQ(pf::text(kStatusText), status_text(1, 2, 6));
}

}  // namespace lumetra::testing
