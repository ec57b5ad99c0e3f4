#include <gtest/gtest.h>

#include "core/file_io.h"
#include "core/text_encoding.h"
#include "listing/listing.h"

using namespace lumetra;

namespace {

std::string golden(const char* name)
{
    return read_file_prefix(std::filesystem::path(LUMETRA_TEST_DATA) / name, 1 << 20).value_or("<missing>");
}

std::string exported(const std::vector<std::string>& lines) { return encode_cp1251(join_view_lines(lines)).value(); }

}  // namespace

TEST(Listing, WorkedExampleDefaultOptions)
{
    ScreenBuffer picture;
    picture.bytes[0] = 0x01;
    auto lines = generate_listing(picture, "C:\\ignored.chr", ListingOptions{});
    ASSERT_EQ(lines.size(), 151u);
    const std::string blank_row = "            Dt            0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00";
    std::vector<std::string> first14 = {"", ";                         **** КРИСТАЛЛ 1 ****", "",
                                        ";                         Страница 1  //  кристалл 1",
                                        "            Dt            0x01,0x00,0x00,0x00,0x00,0x00,0x00,0x00"};
    first14.insert(first14.end(), 7, blank_row);
    first14.push_back(";                         Страница 2  //  кристалл 1");
    first14.push_back(blank_row);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 14), first14);
    EXPECT_EQ(lines[75], "");
    EXPECT_EQ(lines[76], ";                         **** КРИСТАЛЛ 2 ****");
    EXPECT_EQ(exported(lines), golden("example1.asm"));
}

TEST(Listing, WorkedExampleDbWithFileNameUngrouped)
{
    ScreenBuffer picture;
    auto lines = generate_listing(picture, "C:\\Pictures\\logo.chr",
                                  {.directive = Directive::Db, .add_file_name = true, .group_by_crystal = false,
                                   .first_indent = 2, .second_indent = 4});
    ASSERT_EQ(lines.size(), 148u);
    EXPECT_EQ(lines[1], "; Файл  —  C:\\Pictures\\logo.chr");
    EXPECT_EQ(lines[12], ";       Страница 1  //  кристалл 2");
    EXPECT_EQ(exported(lines), golden("example2.asm"));
    EXPECT_TRUE(exported(lines).starts_with("\r\n; \xD4\xE0\xE9\xEB  \x97  C:"));
}

TEST(Listing, FileNameLineNeedsBothTheOptionAndAName)
{
    ScreenBuffer picture;
    EXPECT_EQ(generate_listing(picture, "C:\\a.chr", {.add_file_name = false, .group_by_crystal = true}).size(), 151u);
    EXPECT_EQ(generate_listing(picture, "", {.add_file_name = true, .group_by_crystal = true}).size(), 151u);
    EXPECT_EQ(generate_listing(picture, "", {.add_file_name = true, .group_by_crystal = false}).size(), 146u);
    EXPECT_EQ(generate_listing(picture, "C:\\a.chr", {.add_file_name = true, .group_by_crystal = false}).size(), 148u);
}

TEST(Listing, IndentsSetTheLineWidths)
{
    ScreenBuffer picture;
    picture.bytes[1023] = 0x80;  // bottom-right pixel: last byte of cell 128
    auto narrow = generate_listing(picture, "", {.first_indent = 2, .second_indent = 2});
    auto wide = generate_listing(picture, "", {.first_indent = 20, .second_indent = 20});
    EXPECT_EQ(narrow[4].size(), 45u);
    EXPECT_EQ(wide[4].size(), 81u);
    EXPECT_EQ(narrow[149], "  Dt  0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x80");
    EXPECT_EQ(narrow[150], "");
}

TEST(Listing, HexDigitsAreTwoCapitals)
{
    for (auto [byte, text] : {std::pair{0x00, "0x00"}, {0x0A, "0x0A"}, {0xAB, "0xAB"}, {0xFF, "0xFF"}})
        EXPECT_EQ(format_hex_byte(static_cast<std::uint8_t>(byte)), text);
    ScreenBuffer picture;
    const std::uint8_t bytes[8] = {0x0A, 0x0F, 0xA0, 0xBC, 0xDE, 0xF1, 0x10, 0xFF};
    std::copy(bytes, bytes + 8, picture.bytes.begin() + 8 * 9);
    EXPECT_EQ(format_cell_bytes(picture, 10), "0x0A,0x0F,0xA0,0xBC,0xDE,0xF1,0x10,0xFF");
}

TEST(Listing, CellOrdersVisitEveryPageOfACrystalInSegmentOrder)
{
    auto grouped = cell_sequence(CellOrder::GroupedByCrystal);
    for (auto [index, cell] : {std::pair{0, 1}, {8, 17}, {63, 120}, {64, 9}, {127, 128}})
        EXPECT_EQ(grouped[static_cast<std::size_t>(index)], cell) << index;
    auto interleaved = cell_sequence(CellOrder::Interleaved);
    for (int i = 0; i < 128; i += 8) {
        CellLocation first = locate_cell(grouped[i]);
        for (int k = 0; k < 8; ++k) {
            CellLocation at = locate_cell(grouped[i + k]);
            EXPECT_EQ(at.page, first.page);
            EXPECT_EQ(at.crystal, first.crystal);
            EXPECT_EQ(at.segment_address(1), 8 * k);
        }
        EXPECT_EQ(locate_cell(interleaved[i]).crystal, i / 8 % 2 + 1);
    }
    EXPECT_EQ(locate_cell(128).segment_address(8), 63);
    EXPECT_EQ(locate_cell(9), (CellLocation{1, 2, 1}));
}
