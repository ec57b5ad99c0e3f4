// Fonts come from outside: whatever the bytes, a face opened from them at
// the size the first byte names (1..32) renders glyphs, draws text and builds
// a table without crashing, every table's fields agreeing; the range parser
// takes the same bytes as text and answers sorted codes or an error.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "font/font.h"
#include "font/font_table.h"

namespace {

void check_ranges(std::string_view text)
{
    using namespace lumetra;
    const CharsResult chars = parse_char_ranges(text);
    if (chars.error.empty() == chars.codes.empty()) std::abort();
    if (!std::is_sorted(chars.codes.begin(), chars.codes.end()) ||
        std::adjacent_find(chars.codes.begin(), chars.codes.end()) != chars.codes.end() ||
        (!chars.codes.empty() && chars.codes.back() > 0x10FFFF))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumetra;
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check_ranges(text.substr(0, 40));

    FontResult opened = open_font_bytes(std::span(data + 1, size - 1), 1 + data[0] % 32);
    if (!opened.font) {
        if (opened.error.empty()) std::abort();
        return 0;
    }
    OpenFont& font = *opened.font;
    const FontMetrics metrics = font_metrics(font);
    if (metrics.line_height != metrics.ascender - metrics.descender) std::abort();
    for (char32_t code : {U'A', U'g', U'\u0416', U'\uFFFD', static_cast<char32_t>(data[size - 1])}) {
        const Glyph glyph = render_glyph(font, code);
        if (glyph.bitmap.pixels.size() != static_cast<std::size_t>(glyph.bitmap.width) * glyph.bitmap.height) std::abort();
    }
    Raster picture(128, 64);
    draw_text(picture, font, text.substr(size / 2, 24), data[0] % 140 - 6, data[size / 2] % 80 - 8, Ink::Set);
    const std::vector<char32_t> codes{U' ', U'0', U'A', U'j', U'\u0430'};
    const FontTableResult built = build_font_table(font, codes, {size % 2 ? BlockWidth::Widest : BlockWidth::Advance});
    const FontTable& table = built.table;
    if (built.error.empty() &&
        (table.widths.size() != codes.size() || table.offsets.size() != codes.size() + 1 ||
         table.offsets.back() != table.bitmaps.size()))
        std::abort();
    return 0;
}
