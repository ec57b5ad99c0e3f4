// The font table a PIC program prints from: every glyph a block PAGES bytes
// high and as wide as its advance (or one width for all), bytes page by page,
// in each page column by column, bit 0 the top pixel; its widths, the offset
// of each glyph's bytes, and the codes when they are not one run. Written as
// a C header's arrays or as gpasm data lines (README, "Font tables").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font/font.h"
#include "listing/listing.h"

namespace lumetra {

// A glyph's lit pixels onto a picture, the pen at pen_x on the baseline row
// baseline_y; what falls outside the picture is cut off.
void draw_glyph(Raster& picture, const Glyph& glyph, int pen_x, int baseline_y, Ink ink);

constexpr int kMaxTableWidth = 255;  // a width is one byte

// How wide the blocks are: each its glyph's advance, or all as the widest
// advance (--fixed), or all width columns (--fixed W).
enum class BlockWidth { Advance, Widest, Given };
struct TableWidth {
    BlockWidth kind = BlockWidth::Advance;
    int width = 0;  // for Given, 1..kMaxTableWidth
};

// What a PIC looks a glyph up by: its code (FIRST the lowest code, and a
// codes table when the codes are not one run), or the byte of a charset
// (FIRST the first byte, the glyphs one a byte in byte order).
enum class TableIndex { Code, Byte };
constexpr int kCharsetFirstByte = 0x20;  // every charset of charset_codes starts at the space

struct FontTable {
    std::vector<char32_t> codes;  // by code sorted, each once; by byte in byte order
    TableIndex index = TableIndex::Code;
    int first = 0;
    int pages = 0;
    int baseline = 0;                 // rows from a block's top to the baseline (the ascender)
    std::vector<std::uint8_t> widths;    // columns of each block
    std::vector<std::uint16_t> offsets;  // codes.size() + 1: where each glyph's bytes start, then the total
    std::vector<std::uint8_t> bitmaps;
    std::vector<char32_t> missing;       // codes drawn as the missing-glyph box, in table order
    bool needs_codes() const;            // looked up by codes that are not one run
};

struct FontTableResult {
    FontTable table;
    std::string error;
};

// The table of codes in font: by code the codes sorted, each once, none
// above U+FFFF; with first_byte the characters of a charset's bytes from
// first_byte on. A block of one width for all centres its glyph: the left
// margin is (width - advance) / 2 rounded down. Refused when a width or the
// bytes outgrow their fields.
FontTableResult build_font_table(OpenFont& font, std::span<const char32_t> codes, TableWidth width = {},
                                 std::optional<int> first_byte = {});

// What the table's comments say of where it came from: "ter-u16n.pcf.gz, 16 px".
struct FontTableSource {
    std::string font_name;
    int pixel_size = 0;
};

// NAME_FIRST, NAME_COUNT, NAME_PAGES, NAME_BASELINE defines and the arrays
// NAME_widths, NAME_offsets, NAME_bitmaps (a comment naming each glyph) and,
// with gaps, NAME_codes. ASCII, LF line ends. name must be a C identifier.
std::string font_table_c(const FontTable& table, std::string_view name, const FontTableSource& source);
// The same as gpasm lines: NAME equ .N constants, labels in column 1, data
// lines of eight bytes with the listing's directive and indents, offsets and
// codes high byte first. ASCII, CR LF line ends.
std::string font_table_asm(const FontTable& table, std::string_view name, const FontTableSource& source,
                           Directive directive);

// "U+0041 'A'", "U+0410": a glyph's name in a comment, ASCII only.
std::string glyph_label(char32_t code);

}  // namespace lumetra
