#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "core/text_encoding.h"
#include "listing/listing.h"
#include "listing/listing_reader.h"

using namespace lumetra;

namespace {

ScreenBuffer random_picture(std::mt19937& random)
{
    ScreenBuffer picture;
    for (auto& byte : picture.bytes) byte = static_cast<std::uint8_t>(random());
    return picture;
}

// The listing of a picture with the 1024 bytes 0, 1, 2, ... 255, 0, 1, ...
ScreenBuffer counting_picture()
{
    ScreenBuffer picture;
    for (int i = 0; i < kBufferBytes; ++i) picture.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return picture;
}

std::string listing_text(const ScreenBuffer& picture, ListingOptions options = {})
{
    return join_view_lines(generate_listing(picture, "C:\\logo.chr", options));
}

// The text with line n (counted from 1) replaced, or removed when with is empty.
std::string with_line(const std::string& text, int n, const std::string& with)
{
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) start = text.find('\n', start) + 1;
    std::size_t end = text.find('\n', start);
    std::string rest = end == std::string::npos ? "" : text.substr(end + 1);
    return text.substr(0, start) + (with.empty() ? "" : with + "\r\n") + rest;
}

}  // namespace

TEST(ListingReader, EveryListingOptionSetReadsBackInWindows1251AndUtf8)
{
    std::mt19937 random(7);
    for (Directive directive : {Directive::Dt, Directive::Db})
        for (bool grouped : {true, false})
            for (bool file_name : {true, false})
                for (auto [first, second] : {std::pair{12, 12}, std::pair{2, 2}, std::pair{20, 3}}) {
                    ListingOptions options{.directive = directive, .add_file_name = file_name, .group_by_crystal = grouped,
                                           .first_indent = first, .second_indent = second};
                    ScreenBuffer picture = random_picture(random);
                    std::string utf8 = listing_text(picture, options);
                    for (const std::string& text : {encode_cp1251(utf8).value(), utf8}) {
                        ListingReadResult read = read_listing(text);
                        ASSERT_TRUE(read.ok()) << read.line << ": " << read.error;
                        EXPECT_EQ(read.picture, picture);
                    }
                }
}

TEST(ListingReader, CArraysReadBackInBothOrdersAndLineEnds)
{
    std::mt19937 random(11);
    for (CellOrder order : {CellOrder::GroupedByCrystal, CellOrder::Interleaved})
        for (const char* end : {"\n", "\r\n"}) {
            ScreenBuffer picture = random_picture(random);
            ListingReadResult read = read_listing(join_lines(generate_c_array(picture, "logo", order), end));
            ASSERT_TRUE(read.ok()) << read.line << ": " << read.error;
            EXPECT_EQ(read.picture, picture);
        }
    auto lines = generate_c_array(counting_picture(), "logo", CellOrder::GroupedByCrystal);
    ASSERT_EQ(lines.size(), 151u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"const unsigned char logo[1024] = {", "    /* **** CRYSTAL 1 **** */", "",
                                        "    /* Page 1  //  crystal 1 */",
                                        "    0x00,0x01,0x02,0x03,0x04,0x05,0x06,0x07,"}));
    EXPECT_EQ(lines[12], "    /* Page 2  //  crystal 1 */");
    EXPECT_EQ(lines[13], "    0x80,0x81,0x82,0x83,0x84,0x85,0x86,0x87,");
    EXPECT_EQ(lines[75], "");
    EXPECT_EQ(lines[76], "    /* **** CRYSTAL 2 **** */");
    EXPECT_EQ(lines.back(), "};");
    EXPECT_EQ(generate_c_array(counting_picture(), "logo", CellOrder::Interleaved)[10],
              "    /* Page 1  //  crystal 2 */");
}

TEST(ListingReader, HandWrittenFormsWithoutHeadersAreInStoredOrder)
{
    // Every value written four ways, labels, tabs, upper case, retlw lines.
    std::string text = "; my logo\nlogo_table:\n";
    for (int i = 0; i < kBufferBytes; i += 4) {
        int v = i % 256;
        char line[96];
        std::snprintf(line, sizeof line, "\tDT 0x%02x, %02Xh ,h'%X',%d ; bytes\n", v, v + 1, v + 2, v + 3);
        text += i == 512 ? "half  retlw 0\n  retlw 01h\n\tRETLW h'2'\n retlw 3\n" : std::string(line);
    }
    ListingReadResult read = read_listing(text);
    ASSERT_TRUE(read.ok()) << read.line << ": " << read.error;
    EXPECT_EQ(read.picture, counting_picture());

    std::string c = "#include <stdint.h>\n// picture\nstatic const uint8_t a[] = { 0, 01, 0x2, 3u";
    for (int i = 4; i < kBufferBytes; ++i) c += ", " + std::to_string(i % 256);
    c += ",\n};\n#endif\n";
    read = read_listing(c);
    ASSERT_TRUE(read.ok()) << read.line << ": " << read.error;
    EXPECT_EQ(read.picture, counting_picture());
}

TEST(ListingReader, PageHeadersPlaceTheirBytesInAnyOrder)
{
    // Runs from the last page of crystal 2 back to the first, headers in UTF-8 lower case.
    ScreenBuffer picture = counting_picture();
    std::string text;
    for (int run = 15; run >= 0; --run) {
        int page = run / 2 + 1, crystal = run % 2 + 1;
        text += ";  страница " + std::to_string(page) + " кристалл " + std::to_string(crystal) + "\n";
        for (int cell = (page - 1) * 16 + (crystal - 1) * 8 + 1, k = 0; k < 8; ++k)
            text += " db " + format_cell_bytes(picture, cell + k) + "\n";
    }
    ListingReadResult read = read_listing(text);
    ASSERT_TRUE(read.ok()) << read.line << ": " << read.error;
    EXPECT_EQ(read.picture, picture);
}

TEST(ListingReader, RefusalsNameTheLine)
{
    // The grouped listing: line 1 blank, 2 banner, 3 blank, 4 header of page 1, 5..12 its cells, 13 header of page 2.
    const std::string grouped = listing_text(counting_picture());
    const std::string plain = listing_text(counting_picture(), {.group_by_crystal = false});
    std::string c = join_lines(generate_c_array(counting_picture(), "a", CellOrder::Interleaved), "\n");
    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {with_line(grouped, 6, ""), 4, "page 1, crystal 1 has 56 bytes, not 64"},
        {with_line(grouped, 12, "  Dt 1,2,3,4,5,6,7,8,9"), 12, "more than 64 bytes for page 1, crystal 1 (header on line 4)"},
        {with_line(grouped, 13, "; Страница 1  //  кристалл 1"), 13, "page 1, crystal 1 comes a second time"},
        {with_line(grouped, 13, "; Страница 9  //  кристалл 1"), 13, "not on the display"},
        {with_line(grouped, 4, ""), 12, "a page header after 64 bytes without one"},
        {with_line(grouped, 5, "  movlw 0x00"), 5, "unknown directive 'movlw'"},
        {with_line(grouped, 5, "label nop"), 5, "unknown directive 'nop'"},
        {with_line(grouped, 5, "label ,1"), 5, "a comma after the label 'label'"},
        {with_line(grouped, 5, " ,1"), 5, "a line that starts with ',1'"},
        {with_line(grouped, 5, "  dt 1,2,3,0x100,5,6,7,8"), 5, "'0x100' is over 255"},
        {with_line(grouped, 5, "  dt 1,2,3,1000h,5,6,7,8"), 5, "'1000h' is over 255"},
        {with_line(grouped, 5, "  dt 1,2,,4,5,6,7,8"), 5, "an empty value between commas"},
        {with_line(grouped, 5, "  dt 1,2,-3,4,5,6,7,8"), 5, "'-3' is not a number"},
        {with_line(grouped, 5, "  retlw 1,2"), 5, "retlw takes one value"},
        {with_line(grouped, 5, "  dt"), 5, "'dt' without a value"},
        {with_line(plain, 4, ""), 2, "page 1, crystal 1 has 56 bytes, not 64"},
        {"dt 1,2,3\n\n", 3, "the text holds 3 bytes; a picture has 1024"},
        {"", 1, "the text holds 0 bytes"},
        {c + "int b[] = {1};\n", 147, "a second list of values"},
        {with_line(c, 3, "    0x1G,0,0,0,0,0,0,0,"), 3, "'0x1G' is not a number"},
        {with_line(c, 3, "    {0,0,0,0,0,0,0,0},"), 3, "unexpected '{'"},
        {with_line(c, 3, "    0 0,0,0,0,0,0,0,"), 3, "a comma missing before '0'"},
        {with_line(c, 3, "    0,0,0,0,0,0,0,0,0,"), 10, "more than 64 bytes"},
        {"int a[] = {\n /* 1, 2", 2, "a comment that is never closed"},
        {c.substr(0, c.size() - 3), 146, "not closed with '}'"},
        {"/* { */", 1, "no list of values in braces"},
    };
    for (const Case& bad : cases) {
        ListingReadResult read = read_listing(bad.text);
        EXPECT_FALSE(read.ok()) << bad.message;
        EXPECT_EQ(read.line, bad.line) << read.error;
        EXPECT_NE(read.error.find(bad.message), std::string::npos) << read.error;
        EXPECT_EQ(read.picture, ScreenBuffer{}) << bad.message;
    }
}

TEST(ListingReader, CIdentifiersFromFileNames)
{
    EXPECT_EQ(c_identifier("logo"), "logo");
    EXPECT_EQ(c_identifier("az_AZ09"), "az_AZ09") << "the ends of each range";
    EXPECT_EQ(c_identifier("2nd logo-v1.1"), "picture_2nd_logo_v1_1");
    EXPECT_EQ(c_identifier("логотип"), "picture");
    EXPECT_EQ(c_identifier("логотип 2"), "_2");
    EXPECT_EQ(c_identifier("int"), "picture_int");
    EXPECT_EQ(c_identifier(""), "picture");
    EXPECT_TRUE(is_c_identifier("_logo2"));
    for (const char* bad : {"", "2x", "a-b", "static", "logo.c"}) EXPECT_FALSE(is_c_identifier(bad)) << bad;
}
