// Switching buffers with the tab strip.
#include "shell_fixture.h"

namespace lumetra::testing {

TEST_F(ShellTest, TabShowsTheBufferItsCodeViewAndItsFileName)
{
    start();
    write_byte(app.store, 3, 1, 1, 0x01);  // top-left pixel
    write_byte(app.store, 3, 16, 8, 0x80); // bottom-right pixel of the top band
    set_file_name(app.store, 3, "C:\\Pictures\\logo.chr");
    click_tab(3);

    EXPECT_EQ(current_buffer(app.store), 3);
    EXPECT_EQ(title(), kTitle + "C:\\Pictures\\logo.chr");
    for (int b = 1; b <= kBufferCount; ++b) EXPECT_EQ(pf::is_visible(code_view_of(b)), b == 3) << b;
    EXPECT_EQ(pf::focused_control(), code_view_of(3));

    const std::tuple<int, int, int, pf::Rgb> pixels[] = {{20, 0, 0, kInk},  {20, 3, 3, kInk},   {20, 4, 0, kCellBackground},
                                                         {20, 0, 4, kCellBackground}, {35, 28, 28, kInk},
                                                         {35, 31, 31, kInk}, {35, 27, 31, kCellBackground}};
    for (auto [image, x, y, colour] : pixels) EXPECT_EQ(hl::bitmap(image).at(x, y), colour) << image << " " << x << "," << y;

    click_tab(1);
    EXPECT_EQ(title(), kTitle);
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(0, 0), kCellBackground);
    EXPECT_EQ(pf::focused_control(), code_view_of(1));
}

TEST_F(ShellTest, TabSwitchChangesNoBuffer)
{
    start();
    for (int b = 1; b <= 10; ++b) {
        write_byte(app.store, b, b, 2, static_cast<std::uint8_t>(b * 17));
        set_file_name(app.store, b, "f" + std::to_string(b) + ".chr");
        set_modified(app.store, b, b % 2 == 0);
    }
    ImageStore before = app.store;
    for (int b : {4, 10, 1, 7, 2}) click_tab(b);
    EXPECT_EQ(app.store.buffers, before.buffers);
    EXPECT_EQ(app.store.file_names, before.file_names);
    EXPECT_EQ(app.store.modified, before.modified);
}

TEST_F(ShellTest, EachBufferKeepsItsOwnListingOptions)
{
    start();
    click_tab(3);
    pf::set_checked(kOptionDb, true);  // DB
    pf::set_checked(kAddFileName, true);
    pf::set_checked(kGroupByCrystal, false);
    pf::set_value(kFirstIndent, 2);
    pf::set_value(kSecondIndent, 20);
    click_tab(5);
    expect_listing_panel(true, false, false, true, 12, 12);  // buffer 5's own, the defaults
    click_tab(3);
    expect_listing_panel(false, true, true, false, 2, 20);
    EXPECT_EQ(app.listing_options[4], ListingOptions{});
}

TEST_F(ShellTest, OptionsAreSavedBeforeTheNewBuffersAreRestored)
{
    start();
    // Buffer 2 already holds options different from what the panel shows for
    // buffer 1; if the panel were restored first, buffer 1 would be given
    // buffer 2's options.
    app.listing_options[1].first_indent = 5;
    pf::set_value(kFirstIndent, 7);
    click_tab(2);
    EXPECT_EQ(pf::value(kFirstIndent), 5);
    EXPECT_EQ(app.listing_options[0].first_indent, 7);
}

TEST_F(ShellTest, SwitchEmptiesTheReadOutAndClosesTheCell)
{
    start();
    open_cell_by_hand(7);
    click_tab(2);
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(hl::bitmap(cell_image_of(7)).at(10, 10), kCellBackground);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(5, 5), kEditorGrey);
    for (int id : {kReadOutCode, kReadOutNumbers}) EXPECT_EQ(pf::text(id), "") << id;
    EXPECT_FALSE(pf::is_enabled(kReadOutLabels));
}

TEST_F(ShellTest, ClickingTheCurrentTabChangesNothing)
{
    start();
    set_open_cell(app.store, 7);
    pf::enable(kReadOutLabels, true);
    pf::set_text(kReadOutNumbers, "1\n\n1\n\n7");
    pf::set_value(kFirstIndent, 3);
    int painted = hl::bitmap_assignments(cell_image_of(1));
    click_tab(1);
    EXPECT_EQ(open_cell(app.store), 7);
    EXPECT_EQ(pf::text(kReadOutNumbers), "1\n\n1\n\n7");
    EXPECT_TRUE(pf::is_enabled(kReadOutLabels));
    EXPECT_EQ(hl::bitmap_assignments(cell_image_of(1)), painted);
    EXPECT_EQ(app.listing_options[0].first_indent, 12) << "nothing saved either";
}

TEST_F(ShellTest, CodeViewsKeepTheirOwnListings)
{
    start();
    control(kConvertButton);
    std::string first = pf::text(code_view_of(1));
    click_tab(4);
    EXPECT_EQ(pf::text(code_view_of(4)), "");
    pf::set_checked(kOptionDb, true);
    control(kConvertButton);
    EXPECT_NE(pf::text(code_view_of(4)).find("Db"), std::string::npos);
    click_tab(1);
    EXPECT_EQ(pf::text(code_view_of(1)), first) << "switching regenerates nothing";
    EXPECT_TRUE(pf::is_checked(kOptionDt));
}

}  // namespace lumetra::testing
