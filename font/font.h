// Fonts through FreeType: outline fonts rendered without anti-aliasing
// (monochrome, hinted) and bitmap fonts (BDF, PCF, PCF.gz) at their own
// sizes; the glyphs as pixels, text drawn onto pictures, and the font tables
// a PIC program prints from. Portable: values in, values out, errors as text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/raster.h"

namespace lumetra {

// One face at one pixel size. Move-only; frees its FreeType objects.
struct OpenFont;
struct OpenFontDeleter { void operator()(OpenFont* font) const; };
using FontHandle = std::unique_ptr<OpenFont, OpenFontDeleter>;

struct FontResult {
    FontHandle font;     // null when it failed
    std::string error;   // the reason, for a message: "size 15 is not one of 12, 14, 16, 20"
};

// pixel_size: the line's pixel size; for a bitmap font one of its sizes.
FontResult open_font(const std::filesystem::path& path, int pixel_size);
FontResult open_font_bytes(std::span<const std::uint8_t> bytes, int pixel_size);  // copied

// What a font folder offers, for a chooser: family and style names as the
// font names them; sizes empty for a scalable font.
struct FontInfo {
    std::filesystem::path path;
    std::string family;
    std::string style;
    std::vector<int> sizes;
};
// The fonts directly in a folder (.ttf .otf .ttc .bdf .pcf .pcf.gz), sorted by
// family then style; files FreeType cannot open are left out.
std::vector<FontInfo> list_fonts(const std::filesystem::path& folder);
// A character as messages name it: "U+0416".
std::string code_name(char32_t code);
// A bitmap font's sizes as its messages name them: "12, 14, 16".
std::string size_list(const std::vector<int>& sizes);

// In pixels. The line height is ascender - descender (descender is <= 0);
// the baseline lies ascender rows below the top of a line.
struct FontMetrics {
    int ascender = 0;
    int descender = 0;
    int line_height = 0;
};
FontMetrics font_metrics(const OpenFont& font);

struct Glyph {
    char32_t code = 0;
    bool missing = false;  // the font lacks it: this is its missing-glyph box
    int advance = 0;       // columns the pen moves
    int left = 0;          // the bitmap's first column, right of the pen
    int top = 0;           // the bitmap's first row, rows above the baseline
    Raster bitmap;
};
Glyph render_glyph(OpenFont& font, char32_t code);
int kerning(OpenFont& font, char32_t left, char32_t right);  // 0 for fonts without it

// Text onto a picture: the pen starts at column x, the top of the line at row
// y (baseline at y + ascender); a glyph's lit pixels are set (Clear: cleared);
// the pen moves by the advance plus kerning; '\n' starts the next line at x,
// one line height lower; what falls outside the picture is cut off. Answers
// the codes the font lacks, each once, in order of first use.
enum class Ink { Set, Clear };
std::vector<char32_t> draw_text(Raster& picture, OpenFont& font, std::string_view utf8, int x, int y, Ink ink);

// Characters for a table. "32-126,0xB0,0x401,0x410-0x44F" (decimal or 0x
// hex, ranges inclusive) gives the codes sorted, each once; nothing and an
// error on bad text. Charsets: ascii is 0x20-0x7E, cp1251 the 224 characters
// of Windows-1251 bytes 0x20-0xFF in byte order.
struct CharsResult {
    std::vector<char32_t> codes;
    std::string error;
};
CharsResult parse_char_ranges(std::string_view text);
std::optional<std::vector<char32_t>> charset_codes(std::string_view name);

}  // namespace lumetra
