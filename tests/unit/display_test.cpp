#include <gtest/gtest.h>

#include <random>

#include "core/picture_dither.h"
#include "display/display_tables.h"
#include "listing/listing.h"

namespace lumetra {
namespace {

Raster random_raster(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    Raster raster(width, height);
    for (auto& pixel : raster.pixels) pixel = static_cast<std::uint8_t>(random() & 1);
    return raster;
}

// Where one lit pixel lands in each layout: x 70 is column 9 of the second
// SED1520 controller (61 columns), y 10 bit 2 of page 1; in rows of 16 bytes
// it is byte 8 of row 10, bit 1 (rows) or 6 (rows-lsb).
TEST(DisplayLayoutTest, OnePixelLandsWhereTheLayoutSays)
{
    const DisplayProfile& sed1520 = *find_display("sed1520");
    Raster raster(122, 32);
    raster.set(70, 10, true);
    struct Case {
        Layout layout;
        PageOrder order;
        std::size_t offset;
        std::uint8_t byte;
    };
    const Case cases[] = {
        {Layout::Pages, PageOrder::ByController, 4 * 61 + 61 + 9, 0x04},
        {Layout::Pages, PageOrder::Across, 122 + 70, 0x04},
        {Layout::PagesMsb, PageOrder::Across, 122 + 70, 0x20},
        {Layout::Rows, PageOrder::Across, 10 * 16 + 8, 0x02},
        {Layout::RowsLsb, PageOrder::ByController, 10 * 16 + 8, 0x40},
    };
    for (const Case& c : cases) {
        const auto bytes = layout_bytes(sed1520, c.layout, c.order, raster);
        ASSERT_EQ(bytes.size(), layout_size(sed1520, c.layout)) << layout_name(c.layout);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            EXPECT_EQ(bytes[i], i == c.offset ? c.byte : 0) << layout_name(c.layout) << " byte " << i;
    }
}

TEST(DisplayLayoutTest, EveryDisplayAndLayoutReadsBack)
{
    for (const DisplayProfile& display : display_profiles())
        for (Layout layout : {Layout::Pages, Layout::PagesMsb, Layout::Rows, Layout::RowsLsb})
            for (PageOrder order : {PageOrder::ByController, PageOrder::Across}) {
                const Raster raster = random_raster(display.width, display.height, 7);
                EXPECT_EQ(raster_from_layout(display, layout, order, layout_bytes(display, layout, order, raster)), raster)
                    << display.name << " " << layout_name(layout);
            }
}

// The editor's display in pages is the editor's buffer: stored order across,
// the listing's grouped order by controller, and the listing text itself.
TEST(DisplayLayoutTest, EditorDisplayGivesTheEditorsBytesAndListing)
{
    const ScreenBuffer screen = screen_from_raster(random_raster(128, 64, 3));
    const Raster raster = raster_from_screen(screen);
    const DisplayProfile& ks0108 = default_display();
    const auto across = layout_bytes(ks0108, Layout::Pages, PageOrder::Across, raster);
    EXPECT_TRUE(std::equal(across.begin(), across.end(), screen.bytes.begin()));
    const auto grouped = layout_bytes(ks0108, Layout::Pages, PageOrder::ByController, raster);
    for (PageOrder order : {PageOrder::ByController, PageOrder::Across}) {
        ListingOptions options;
        options.group_by_crystal = order == PageOrder::ByController;
        EXPECT_EQ(generate_table_listing(layout_bytes(ks0108, Layout::Pages, order, raster),
                                         layout_runs(ks0108, Layout::Pages, order), ks0108.note, "", options),
                  generate_listing(screen, "", options));
    }
    EXPECT_EQ(generate_table_c_array(grouped, layout_runs(ks0108, Layout::Pages, PageOrder::ByController), "", "logo"),
              generate_c_array(screen, "logo", CellOrder::GroupedByCrystal));
}

TEST(DisplayLayoutTest, NamesAliasesAndSizes)
{
    EXPECT_EQ(find_display("ssd1309"), find_display("ssd1306"));
    EXPECT_EQ(find_display("uc1701"), find_display("st7565"));
    EXPECT_EQ(find_display("lcd"), nullptr);
    EXPECT_EQ(find_layout("rows-lsb"), Layout::RowsLsb);
    EXPECT_EQ(find_layout("columns"), std::nullopt);
    EXPECT_EQ(layout_size(*find_display("pcd8544"), Layout::Rows), 11u * 48);
    EXPECT_EQ(layout_size(*find_display("pcd8544"), Layout::Pages), 84u * 6);
    EXPECT_EQ(xbm_size("#define a_width 84\n#define a_height 48\nstatic char a_bits[] = {0};"), (PictureSize{84, 48}));
}

// A page comment of a display with three controllers places its run; a
// missing one is named with the display's own numbers.
TEST(DisplayLayoutTest, ReaderPlacesRunsOfAnyDisplay)
{
    const DisplayProfile& display = *find_display("ks0108-3");
    const Raster raster = random_raster(192, 64, 11);
    const auto bytes = layout_bytes(display, Layout::Pages, PageOrder::ByController, raster);
    ListingOptions options;
    const auto text = join_lines(
        generate_table_listing(bytes, layout_runs(display, Layout::Pages, PageOrder::ByController), "", "", options), "\n");
    TableReadResult read = read_table(text, layout_shape(display, Layout::Pages, PageOrder::Across));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(raster_from_layout(display, Layout::Pages, PageOrder::Across, read.bytes), raster);
    const std::string cut = text.substr(0, text.rfind('\n', text.rfind("Страница 8")));
    read = read_table(cut, layout_shape(display, Layout::Pages, PageOrder::Across));
    EXPECT_NE(read.error.find("page 8, crystal 3 is missing"), std::string::npos) << read.error;
}

// The import at another size: a picture of the display's size is taken as
// it is, a larger one stretched to it.
TEST(DisplayLayoutTest, ImportStretchesToTheDisplaySize)
{
    RgbImage image;
    image.width = 168;
    image.height = 96;
    image.rgb.assign(168u * 96 * 3, 255);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 84; ++x)
            for (int c = 0; c < 3; ++c) image.rgb[(static_cast<std::size_t>(y) * 168 + x) * 3 + c] = 0;
    const Raster raster = raster_from_picture(image, {84, 48}, {});
    ASSERT_EQ(raster.width, 84);
    ASSERT_EQ(raster.height, 48);
    EXPECT_TRUE(raster.lit(41, 20));
    EXPECT_FALSE(raster.lit(42, 20));
}

}  // namespace
}  // namespace lumetra
