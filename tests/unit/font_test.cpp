#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "font/font.h"
#include "font/font_table.h"

namespace lumetra {
namespace {

// tests/data/fonts/tiny.bdf: 8 pixel lines (ascent 6, descent 2); A 4x6 on
// the baseline, advance 5; W 6 wide from column -1, advance 4; g reaching 2
// rows below the baseline; space advance 3; the box (encoding 0) for the rest.
const std::string kTiny = LUMETRA_TEST_DATA "/fonts/tiny.bdf";

FontHandle open_or_fail(const std::string& path, int size)
{
    FontResult opened = open_font(path, size);
    EXPECT_TRUE(opened.font) << path << ": " << opened.error;
    return std::move(opened.font);
}

// Rows of a picture as text, '#' lit.
std::string art(const Raster& picture)
{
    std::string text;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) text += picture.lit(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

TEST(FontTest, BitmapFontMetricsGlyphsAndSizes)
{
    FontHandle font = open_or_fail(kTiny, 8);
    ASSERT_TRUE(font);
    const FontMetrics metrics = font_metrics(*font);
    EXPECT_EQ(metrics.ascender, 6);
    EXPECT_EQ(metrics.descender, -2);
    EXPECT_EQ(metrics.line_height, 8);
    const Glyph w = render_glyph(*font, U'W');
    EXPECT_EQ(std::tuple(w.advance, w.left, w.top, w.bitmap.width, w.bitmap.height, w.missing),
              std::tuple(4, -1, 5, 6, 5, false));
    EXPECT_TRUE(render_glyph(*font, U'x').missing);

    EXPECT_EQ(open_font(kTiny, 9).error, "size 9 is not one of 8");
    EXPECT_FALSE(open_font(LUMETRA_TEST_DATA "/fonts/missing.bdf", 8).font);
    const std::vector<FontInfo> fonts = list_fonts(LUMETRA_TEST_DATA "/fonts");
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(std::tuple(fonts[0].family, fonts[0].sizes), std::tuple(std::string("Tiny"), std::vector<int>{8}));
}

TEST(FontTest, TextRuleLinesInkCuttingAndMissingCodes)
{
    FontHandle font = open_or_fail(kTiny, 8);
    ASSERT_TRUE(font);
    // The pen from column 1: A, then W overhanging into A's gap, g below the
    // baseline; the second line one line height lower, cut at the bottom.
    Raster picture(12, 12);
    EXPECT_TRUE(draw_text(picture, *font, "AWg\ngA", 1, 0, Ink::Set).empty());
    EXPECT_EQ(art(picture),
              "..##........\n"
              ".#..##....#.\n"
              ".#..##....#.\n"
              ".#####.##.##\n"
              ".#..###..##.\n"
              ".#..##....##\n"
              "............\n"
              "..........##\n"
              ".......##...\n"
              "......#..#..\n"
              "......#..#..\n"
              "..###.####..\n");

    Raster lit(4, 8);
    std::fill(lit.pixels.begin(), lit.pixels.end(), 1);
    const Raster before = lit;
    EXPECT_TRUE(draw_text(lit, *font, "", 0, 0, Ink::Clear).empty());
    EXPECT_EQ(lit, before) << "empty text changes nothing";
    draw_text(lit, *font, "A", -1, 0, Ink::Clear);
    EXPECT_EQ(art(lit), "..##\n##.#\n##.#\n...#\n##.#\n##.#\n####\n####\n") << "cleared and cut on the left";

    Raster blank(4, 8);
    EXPECT_EQ(draw_text(blank, *font, "x\xE2\x98\x83x", 0, 0, Ink::Set), (std::vector<char32_t>{U'x', U'\u2603'}));
}

TEST(FontTest, TableBlocksAndBothForms)
{
    FontHandle font = open_or_fail(kTiny, 8);
    ASSERT_TRUE(font);
    const std::vector<char32_t> codes{U' ', U'A', U'B', U'W', U'g'};
    FontTableResult built = build_font_table(*font, codes);
    ASSERT_EQ(built.error, "");
    const FontTable& table = built.table;
    EXPECT_EQ(table.missing, std::vector<char32_t>{U'B'});
    const FontTableSource source{"tiny.bdf", 8};
    EXPECT_EQ(font_table_c(table, "tiny", source),
              "/* Font tiny.bdf, 8 px: 5 glyphs, 1 page, baseline 6 */\n"
              "#define tiny_FIRST 32\n"
              "#define tiny_COUNT 5\n"
              "#define tiny_PAGES 1\n"
              "#define tiny_BASELINE 6\n"
              "\n"
              "const unsigned char tiny_widths[tiny_COUNT] = {\n"
              "    0x03,0x05,0x05,0x04,0x05,\n"
              "};\n"
              "\n"
              "const unsigned short tiny_offsets[tiny_COUNT + 1] = {\n"
              "    0,3,8,13,17,22,\n"
              "};\n"
              "\n"
              "const unsigned char tiny_bitmaps[22] = {\n"
              "    /* U+0020 ' ' */\n"
              "    0x00,0x00,0x00,\n"
              "    /* U+0041 'A' */\n"
              "    0x3E,0x09,0x09,0x3E,0x00,\n"
              "    /* U+0042 'B' (missing: the font's box) */\n"
              "    0x3F,0x21,0x21,0x3F,0x00,\n"
              "    /* U+0057 'W' */\n"
              "    0x10,0x08,0x08,0x10,\n"
              "    /* U+0067 'g' */\n"
              "    0x90,0xA8,0xA8,0x78,0x00,\n"
              "};\n"
              "\n"
              "const unsigned short tiny_codes[tiny_COUNT] = {\n"
              "    0x0020,0x0041,0x0042,0x0057,0x0067,\n"
              "};\n");
    const std::string data = "            Db            ";
    EXPECT_EQ(font_table_asm(table, "tiny", source, Directive::Db),
              "; Font tiny.bdf, 8 px\r\n"
              "; 5 glyphs, 1 page, baseline 6\r\n"
              "tiny_FIRST      equ     .32\r\n"
              "tiny_COUNT      equ     .5\r\n"
              "tiny_PAGES      equ     .1\r\n"
              "tiny_BASELINE   equ     .6\r\n"
              "\r\ntiny_widths\r\n" +
                  data + "0x03,0x05,0x05,0x04,0x05\r\n"
                  "\r\ntiny_offsets\r\n" +
                  data + "0x00,0x00,0x00,0x03,0x00,0x08,0x00,0x0D\r\n" + data + "0x00,0x11,0x00,0x16\r\n"
                  "\r\ntiny_bitmaps\r\n"
                  "; U+0020 ' '\r\n" + data + "0x00,0x00,0x00\r\n"
                  "; U+0041 'A'\r\n" + data + "0x3E,0x09,0x09,0x3E,0x00\r\n"
                  "; U+0042 'B' (missing: the font's box)\r\n" + data + "0x3F,0x21,0x21,0x3F,0x00\r\n"
                  "; U+0057 'W'\r\n" + data + "0x10,0x08,0x08,0x10\r\n"
                  "; U+0067 'g'\r\n" + data + "0x90,0xA8,0xA8,0x78,0x00\r\n"
                  "\r\ntiny_codes\r\n" +
                  data + "0x00,0x20,0x00,0x41,0x00,0x42,0x00,0x57\r\n" + data + "0x00,0x67\r\n");

    // A run of codes needs no codes table.
    const std::vector<char32_t> run{U'A'};
    EXPECT_EQ(font_table_asm(build_font_table(*font, run).table, "t", source, Directive::Dt).find("t_codes"),
              std::string::npos);
}

TEST(FontTest, FixedWidthCentresEachGlyphRoundingDown)
{
    FontHandle font = open_or_fail(kTiny, 8);
    ASSERT_TRUE(font);
    const std::vector<char32_t> codes{U'A', U'W'};
    // Widest advance 5: W (advance 4) gets margin 0; given 8: A margin 1, W margin 2.
    const FontTable widest = build_font_table(*font, codes, {BlockWidth::Widest}).table;
    EXPECT_EQ(widest.widths, (std::vector<std::uint8_t>{5, 5}));
    EXPECT_EQ(widest.bitmaps, (std::vector<std::uint8_t>{0x3E, 0x09, 0x09, 0x3E, 0x00, 0x10, 0x08, 0x08, 0x10, 0x3E}));
    const FontTable given = build_font_table(*font, codes, {BlockWidth::Given, 8}).table;
    EXPECT_EQ(given.bitmaps, (std::vector<std::uint8_t>{0x00, 0x3E, 0x09, 0x09, 0x3E, 0x00, 0x00, 0x00,  //
                                                        0x00, 0x3E, 0x10, 0x08, 0x08, 0x10, 0x3E, 0x00}));
    // Sixteen bytes are two whole data lines, with no empty one after them.
    const std::string text = font_table_asm(given, "t", {"tiny.bdf", 8}, Directive::Dt);
    EXPECT_EQ(text.find("Dt            \r\n"), std::string::npos) << text;
    // Narrower than the advance: margin (3 - 5) / 2 = -1, A cut on both sides.
    EXPECT_EQ(build_font_table(*font, std::vector<char32_t>{U'A'}, {BlockWidth::Given, 3}).table.bitmaps,
              (std::vector<std::uint8_t>{0x09, 0x09, 0x3E}));
}

TEST(FontTest, CharRangesAndCharsets)
{
    EXPECT_EQ(parse_char_ranges("34-32 ").error, "\"34-32\" runs backwards");
    const CharsResult parsed = parse_char_ranges("32-34, 0x41,0X40,33");
    EXPECT_EQ(parsed.codes, (std::vector<char32_t>{32, 33, 34, 0x40, 0x41}));
    EXPECT_EQ(parse_char_ranges("0x10FFFF").codes, std::vector<char32_t>{0x10FFFF});
    for (const char* bad : {"10-5", "0x110000", "abc", "", " ", "1,,2", "1-", "-1", "0x", "1.5", "5-0x110000"})
        EXPECT_NE(parse_char_ranges(bad).error, "") << bad;

    EXPECT_EQ(charset_codes("ascii")->size(), 95u);
    const std::vector<char32_t> cp1251 = *charset_codes("cp1251");
    ASSERT_EQ(cp1251.size(), 224u);
    EXPECT_EQ(std::tuple(cp1251[0], cp1251[0x7E - 0x20], cp1251[0x98 - 0x20], cp1251[0xA8 - 0x20], cp1251[0xC0 - 0x20],
                         cp1251.back()),
              std::tuple(U' ', U'~', U'\u0098', U'Ё', U'А', U'я'));
    EXPECT_FALSE(charset_codes("koi8-r"));
}

TEST(FontTest, TerminusCp1251TableHasCyrillicAndTheBoxFor0x98)
{
    FontHandle font = open_or_fail(LUMETRA_TERMINUS_16, 16);
    ASSERT_TRUE(font);
    const std::vector<char32_t> codes = *charset_codes("cp1251");
    const FontTableResult built = build_font_table(*font, codes, {}, kCharsetFirstByte);
    ASSERT_EQ(built.error, "");
    EXPECT_EQ(built.table.widths.size(), 224u);
    EXPECT_EQ(built.table.pages, 2);
    EXPECT_EQ(font_table_c(built.table, "t", {}).find("t_codes"), std::string::npos) << "indexed by byte - FIRST";
    const std::vector<char32_t> missing = built.table.missing;
    EXPECT_TRUE(std::find(missing.begin(), missing.end(), U'\u0098') != missing.end());
    for (char32_t code : missing) EXPECT_TRUE(code == 0x7F || code == 0x98) << std::hex << static_cast<unsigned>(code);
    // 0x98's block is the box any absent code gets.
    const std::vector<char32_t> absent{0xE0FF};
    const FontTable box = build_font_table(*font, absent).table;
    ASSERT_TRUE(box.missing.size() == 1);
    const std::size_t at = 0x98 - 0x20;
    EXPECT_EQ(std::vector<std::uint8_t>(built.table.bitmaps.begin() + built.table.offsets[at],
                                        built.table.bitmaps.begin() + built.table.offsets[at + 1]),
              box.bitmaps);
}

// Each glyph exactly FreeType's hinted monochrome render (so no grey pixel
// became ink through a threshold), with FreeType's advance.
TEST(FontTest, OutlineGlyphsAreFreeTypesMonochromeRender)
{
    FontHandle font = open_or_fail(LUMETRA_DEJAVU_SANS, 12);
    ASSERT_TRUE(font);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, LUMETRA_DEJAVU_SANS, 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 12);
    int differs_from_grey = 0;
    for (char32_t code : std::u32string(U"AaWg@Жя%")) {
        const Glyph glyph = render_glyph(*font, code);
        ASSERT_EQ(FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
        const FT_Bitmap& mono = face->glyph->bitmap;
        ASSERT_EQ(mono.pixel_mode, FT_PIXEL_MODE_MONO);
        EXPECT_EQ(glyph.advance, face->glyph->advance.x >> 6);
        EXPECT_EQ(std::tuple(glyph.left, glyph.top, glyph.bitmap.width, glyph.bitmap.height),
                  std::tuple(face->glyph->bitmap_left, face->glyph->bitmap_top, static_cast<int>(mono.width),
                             static_cast<int>(mono.rows)));
        for (int y = 0; y < glyph.bitmap.height; ++y)
            for (int x = 0; x < glyph.bitmap.width; ++x)
                ASSERT_EQ(glyph.bitmap.lit(x, y), ((mono.buffer[y * mono.pitch + x / 8] >> (7 - x % 8)) & 1) != 0)
                    << static_cast<unsigned>(code) << " at " << x << "," << y;
        // The grey render thresholded is another picture: this test tells them apart.
        ASSERT_EQ(FT_Load_Char(face, code, FT_LOAD_RENDER), 0);
        const FT_Bitmap& grey = face->glyph->bitmap;
        bool same = static_cast<int>(grey.width) == glyph.bitmap.width && static_cast<int>(grey.rows) == glyph.bitmap.height;
        for (int y = 0; same && y < glyph.bitmap.height; ++y)
            for (int x = 0; same && x < glyph.bitmap.width; ++x)
                same = glyph.bitmap.lit(x, y) == (grey.buffer[y * grey.pitch + x] >= 128);
        differs_from_grey += same ? 0 : 1;
    }
    EXPECT_GT(differs_from_grey, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace
}  // namespace lumetra
