#include "font/font_table.h"

#include <algorithm>
#include <cstdio>

namespace lumetra {

namespace {

constexpr std::size_t kLineBytes = 8;
constexpr std::size_t kMaxTableBytes = 0xFFFF;  // an offset is 16 bits
constexpr char32_t kLastTableCode = 0xFFFF;     // a code is 16 bits
constexpr int kMaxTableLine = 256;               // rows; a hostile font's metrics may claim any

// The block's pixels as bytes: page by page, column by column, bit 0 on top.
void append_block_bytes(const Raster& block, std::vector<std::uint8_t>& bytes)
{
    for (int page = 0; page * 8 < block.height; ++page)
        for (int x = 0; x < block.width; ++x) {
            std::uint8_t byte = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (block.lit(x, page * 8 + bit)) byte = static_cast<std::uint8_t>(byte | (1u << bit));
            bytes.push_back(byte);
        }
}

int floor_half(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

}  // namespace

bool FontTable::needs_codes() const
{
    return index == TableIndex::Code && !codes.empty() && codes.back() - codes.front() + 1 != codes.size();
}

FontTableResult build_font_table(OpenFont& font, std::span<const char32_t> codes, TableWidth width,
                                 std::optional<int> first_byte)
{
    FontTableResult result;
    FontTable& table = result.table;
    if (codes.empty()) return {{}, "no characters for the table"};
    const char32_t highest = *std::max_element(codes.begin(), codes.end());
    if (highest > kLastTableCode) return {{}, glyph_label(highest) + " lies beyond U+FFFF: a table keeps 16-bit codes"};
    const FontMetrics metrics = font_metrics(font);
    if (metrics.line_height > kMaxTableLine)
        return {{}, "lines of " + std::to_string(metrics.line_height) + " rows are too tall for a table (at most " +
                        std::to_string(kMaxTableLine) + ")"};
    table.codes.assign(codes.begin(), codes.end());
    table.index = first_byte ? TableIndex::Byte : TableIndex::Code;
    table.first = first_byte ? *first_byte : static_cast<int>(codes.front());
    table.pages = std::max(0, (metrics.line_height + 7) / 8);
    table.baseline = metrics.ascender;

    std::vector<Glyph> glyphs;
    glyphs.reserve(codes.size());
    int widest = 0;
    for (char32_t code : codes) {
        glyphs.push_back(render_glyph(font, code));
        widest = std::max(widest, glyphs.back().advance);
        if (glyphs.back().missing) table.missing.push_back(code);
    }
    if (width.kind == BlockWidth::Widest) width.width = widest;
    table.offsets.push_back(0);
    for (const Glyph& glyph : glyphs) {
        const int columns = width.kind == BlockWidth::Advance ? glyph.advance : width.width;
        if (columns < 0 || columns > kMaxTableWidth)
            return {{}, glyph_label(glyph.code) + " is " + std::to_string(columns) + " columns wide; a table takes up to " +
                            std::to_string(kMaxTableWidth)};
        const int margin = width.kind == BlockWidth::Advance ? 0 : floor_half(columns - glyph.advance);
        Raster block(columns, table.pages * 8);
        draw_glyph(block, glyph, margin, table.baseline, Ink::Set);
        append_block_bytes(block, table.bitmaps);
        if (table.bitmaps.size() > kMaxTableBytes)
            return {{}, "the glyphs take more than " + std::to_string(kMaxTableBytes) +
                            " bytes, more than 16-bit offsets reach"};
        table.widths.push_back(static_cast<std::uint8_t>(columns));
        table.offsets.push_back(static_cast<std::uint16_t>(table.bitmaps.size()));
    }
    return result;
}

std::string glyph_label(char32_t code)
{
    if (code >= 0x20 && code < 0x7F) return code_name(code) + " '" + static_cast<char>(code) + "'";
    return code_name(code);
}

namespace {

std::string hex_list(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) text += (i ? "," : "") + format_hex_byte(bytes[i]);
    return text;
}

// Lines of eight values, each line after before (and after after).
template <typename Value, typename Format>
void value_lines(std::span<const Value> values, std::string_view before, std::string_view after, Format format,
                 std::string& out, std::string_view end)
{
    for (std::size_t from = 0; from < values.size(); from += kLineBytes) {
        out += before;
        for (std::size_t i = from; i < std::min(values.size(), from + kLineBytes); ++i)
            out += (i > from ? "," : "") + format(values[i]);
        out += after;
        out += end;
    }
}

std::string glyph_comment(const FontTable& table, char32_t code)
{
    const bool missing = std::find(table.missing.begin(), table.missing.end(), code) != table.missing.end();
    return glyph_label(code) + (missing ? " (missing: the font's box)" : "");
}

std::string summary(const FontTable& table)
{
    const auto counted = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    return counted(table.codes.size(), "glyph") + ", " + counted(static_cast<std::size_t>(table.pages), "page") +
           ", baseline " + std::to_string(table.baseline);
}

std::span<const std::uint8_t> glyph_bytes(const FontTable& table, std::size_t i)
{
    return std::span(table.bitmaps).subspan(table.offsets[i], table.offsets[i + 1] - table.offsets[i]);
}

}  // namespace

std::string font_table_c(const FontTable& table, std::string_view name_view, const FontTableSource& source)
{
    const std::string name(name_view);
    std::string out = "/* Font " + source.font_name + ", " + std::to_string(source.pixel_size) + " px: " +
                      summary(table) + " */\n";
    out += "#define " + name + "_FIRST " + std::to_string(table.first) + "\n";
    out += "#define " + name + "_COUNT " + std::to_string(table.codes.size()) + "\n";
    out += "#define " + name + "_PAGES " + std::to_string(table.pages) + "\n";
    out += "#define " + name + "_BASELINE " + std::to_string(table.baseline) + "\n\n";
    const auto hex = [](std::uint8_t byte) { return format_hex_byte(byte); };
    out += "const unsigned char " + name + "_widths[" + name + "_COUNT] = {\n";
    value_lines(std::span<const std::uint8_t>(table.widths), "    ", ",", hex, out, "\n");
    out += "};\n\nconst unsigned short " + name + "_offsets[" + name + "_COUNT + 1] = {\n";
    value_lines(std::span<const std::uint16_t>(table.offsets), "    ", ",",
                [](std::uint16_t offset) { return std::to_string(offset); }, out, "\n");
    out += "};\n\nconst unsigned char " + name + "_bitmaps[" + std::to_string(table.bitmaps.size()) + "] = {\n";
    for (std::size_t i = 0; i < table.codes.size(); ++i) {
        out += "    /* " + glyph_comment(table, table.codes[i]) + " */\n";
        value_lines(glyph_bytes(table, i), "    ", ",", hex, out, "\n");
    }
    out += "};\n";
    if (table.needs_codes()) {
        out += "\nconst unsigned short " + name + "_codes[" + name + "_COUNT] = {\n";
        value_lines(std::span<const char32_t>(table.codes), "    ", ",",
                    [](char32_t code) {
                        char text[8];
                        std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
                        return std::string(text);
                    },
                    out, "\n");
        out += "};\n";
    }
    return out;
}

std::string font_table_asm(const FontTable& table, std::string_view name_view, const FontTableSource& source,
                           Directive directive)
{
    const std::string name(name_view);
    const ListingOptions indents;
    const std::string data = std::string(static_cast<std::size_t>(indents.first_indent), ' ') +
                             directive_name(directive) + std::string(static_cast<std::size_t>(indents.second_indent), ' ');
    constexpr const char* kEnd = "\r\n";
    std::string out = "; Font " + source.font_name + ", " + std::to_string(source.pixel_size) + " px" + kEnd;
    out += "; " + summary(table) + kEnd;
    const auto constant = [&](const char* suffix, std::size_t value) {
        std::string label = name + suffix;
        label.resize(std::max<std::size_t>(label.size() + 1, 16), ' ');
        out += label + "equ     ." + std::to_string(value) + kEnd;
    };
    constant("_FIRST", static_cast<std::size_t>(table.first));
    constant("_COUNT", table.codes.size());
    constant("_PAGES", static_cast<std::size_t>(table.pages));
    constant("_BASELINE", static_cast<std::size_t>(table.baseline));

    // 16-bit values high byte first, as a RETLW table reads them.
    const auto high_low = [](const auto& values) {
        std::vector<std::uint8_t> bytes;
        for (auto value : values) {
            bytes.push_back(static_cast<std::uint8_t>(value >> 8));
            bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        }
        return bytes;
    };
    const auto lines = [&](std::span<const std::uint8_t> bytes) {
        for (std::size_t from = 0; from < bytes.size(); from += kLineBytes)
            out += data + hex_list(bytes.subspan(from, std::min(kLineBytes, bytes.size() - from))) + kEnd;
    };
    out += std::string(kEnd) + name + "_widths" + kEnd;
    lines(table.widths);
    out += std::string(kEnd) + name + "_offsets" + kEnd;
    lines(high_low(table.offsets));
    out += std::string(kEnd) + name + "_bitmaps" + kEnd;
    for (std::size_t i = 0; i < table.codes.size(); ++i) {
        out += "; " + glyph_comment(table, table.codes[i]) + kEnd;
        lines(glyph_bytes(table, i));
    }
    if (table.needs_codes()) {
        out += std::string(kEnd) + name + "_codes" + kEnd;
        lines(high_low(table.codes));
    }
    return out;
}

}  // namespace lumetra
