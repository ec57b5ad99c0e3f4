#include "font/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <map>

#include "core/file_io.h"
#include "core/text_encoding.h"
#include "font/font_table.h"

namespace lumetra {

namespace {

constexpr std::size_t kMaxFontBytes = 64u << 20;  // beyond any font a display needs
constexpr int kMaxPixelSize = 256;
constexpr int kMaxGlyphSide = 1024;  // a hostile font's giant glyph stays empty

}  // namespace

// The bytes stay with the face: FreeType reads a memory face lazily.
struct OpenFont {
    std::vector<std::uint8_t> bytes;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::map<char32_t, Glyph> glyphs;  // rendered once per code

    ~OpenFont()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

void OpenFontDeleter::operator()(OpenFont* font) const { delete font; }

namespace {

// The line heights a bitmap font offers, in its own order.
std::vector<int> strike_sizes(FT_Face face)
{
    std::vector<int> sizes;
    for (int i = 0; i < face->num_fixed_sizes; ++i) sizes.push_back(face->available_sizes[i].height);
    return sizes;
}

// The face in bytes with FreeType's own reason on failure.
std::string open_face(OpenFont& font)
{
    if (FT_Init_FreeType(&font.library) != 0) return "FreeType cannot start";
    if (FT_New_Memory_Face(font.library, font.bytes.data(), static_cast<FT_Long>(font.bytes.size()), 0, &font.face) != 0) {
        font.face = nullptr;
        return "not a font FreeType can read";
    }
    return {};
}

std::string set_size(FT_Face face, int pixel_size)
{
    if (pixel_size < 1 || pixel_size > kMaxPixelSize)
        return "size " + std::to_string(pixel_size) + " is not from 1 to " + std::to_string(kMaxPixelSize);
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size)) != 0)
            return "cannot scale the font to " + std::to_string(pixel_size) + " pixels";
        return {};
    }
    const std::vector<int> sizes = strike_sizes(face);
    auto at = std::find(sizes.begin(), sizes.end(), pixel_size);
    if (at == sizes.end()) {
        if (sizes.empty()) return "the font has no sizes";
        return "size " + std::to_string(pixel_size) + " is not one of " + size_list(sizes);
    }
    if (FT_Select_Size(face, static_cast<FT_Int>(at - sizes.begin())) != 0)
        return "cannot select size " + std::to_string(pixel_size);
    return {};
}

// The glyph's pixels: one bit a pixel for a monochrome render; a grey one
// (an embedded bitmap of another kind) thresholded at half.
Raster bitmap_pixels(const FT_Bitmap& bitmap)
{
    const int width = static_cast<int>(bitmap.width), height = static_cast<int>(bitmap.rows);
    if (width > kMaxGlyphSide || height > kMaxGlyphSide || !bitmap.buffer) return {};
    Raster pixels(width, height);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < width; ++x) {
            bool on = false;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) on = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) on = row[x] >= 128;
            pixels.set(x, y, on);
        }
    }
    return pixels;
}

Glyph load_glyph(FT_Face face, char32_t code)
{
    Glyph glyph;
    glyph.code = code;
    FT_UInt index = FT_Get_Char_Index(face, code);
    glyph.missing = index == 0;
    // Hinted for the monochrome grid, rendered without anti-aliasing; an
    // outline is measured first so that a hostile font's giant glyph is
    // never rendered.
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) return glyph;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        if (box.xMax - box.xMin > (kMaxGlyphSide << 6) || box.yMax - box.yMin > (kMaxGlyphSide << 6) ||
            FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
            return glyph;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP) return glyph;
    glyph.advance = static_cast<int>(std::clamp<FT_Pos>((slot->advance.x + 32) >> 6, -kMaxGlyphSide, kMaxGlyphSide));
    if (std::abs(slot->bitmap_left) > kMaxGlyphSide || std::abs(slot->bitmap_top) > kMaxGlyphSide) return glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.bitmap = bitmap_pixels(slot->bitmap);
    return glyph;
}

const Glyph& cached_glyph(OpenFont& font, char32_t code)
{
    auto at = font.glyphs.find(code);
    if (at == font.glyphs.end()) at = font.glyphs.emplace(code, load_glyph(font.face, code)).first;
    return at->second;
}

std::string lower_file_name(const std::filesystem::path& path)
{
    std::string name = path_to_utf8(path.filename());
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

bool font_extension(const std::filesystem::path& path)
{
    const std::string name = lower_file_name(path);
    for (const char* end : {".ttf", ".otf", ".ttc", ".bdf", ".pcf", ".pcf.gz"})
        if (name.ends_with(end)) return true;
    return false;
}

}  // namespace

namespace {

// A gzip file (PCF.gz) inflated whole: FreeType inflates a larger one as a
// stream, again from its start at every backward seek, which made reading
// the glyphs of a Unicode Terminus font several times slower. Nothing when
// it is not gzip, is damaged or would outgrow the limit.
std::optional<std::vector<std::uint8_t>> gunzip(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 18 || bytes[0] != 0x1F || bytes[1] != 0x8B) return std::nullopt;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return std::nullopt;
    std::vector<std::uint8_t> out(std::min<std::size_t>(bytes.size() * 4, kMaxFontBytes));
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out == out.size()) {
            if (out.size() >= kMaxFontBytes) break;
            out.resize(std::min<std::size_t>(out.size() * 2, kMaxFontBytes));
        }
        stream.next_out = out.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
        status = inflate(&stream, Z_NO_FLUSH);
    }
    out.resize(stream.total_out);
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

}  // namespace

FontResult open_font_bytes(std::span<const std::uint8_t> bytes, int pixel_size)
{
    FontHandle font(new OpenFont);
    auto inflated = gunzip(bytes);
    if (inflated) font->bytes = std::move(*inflated);
    else font->bytes.assign(bytes.begin(), bytes.end());
    std::string error = open_face(*font);
    if (error.empty()) error = set_size(font->face, pixel_size);
    if (!error.empty()) return {nullptr, error};
    return {std::move(font), {}};
}

FontResult open_font(const std::filesystem::path& path, int pixel_size)
{
    auto bytes = read_whole_file(path, kMaxFontBytes);
    if (!bytes) return {nullptr, "cannot read " + path_to_utf8(path)};
    return open_font_bytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()), pixel_size);
}

namespace {

// FreeType reads a listed font through this stream: only the tables it needs
// for the names, not the whole file (a system font folder holds fonts of many
// megabytes), and by a path that opens with any characters on Windows too.
// A count of 0 is a seek, which answers 0 when it worked.
unsigned long read_font_stream(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    auto* file = static_cast<std::ifstream*>(stream->descriptor.pointer);
    file->clear();
    file->seekg(static_cast<std::streamoff>(offset));
    if (count == 0) return file->good() ? 0 : 1;
    file->read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<unsigned long>(file->gcount());
}

FontInfo font_info(const std::filesystem::path& path, FT_Face face)
{
    return {path, face->family_name ? face->family_name : "", face->style_name ? face->style_name : "",
            FT_IS_SCALABLE(face) ? std::vector<int>{} : strike_sizes(face)};
}

std::optional<FontInfo> listed_font(FT_Library library, const std::filesystem::path& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > kMaxFontBytes) return std::nullopt;
    // A gzip font is small, and FreeType's own inflating of it slow: whole.
    if (lower_file_name(path).ends_with(".gz")) {
        OpenFont font;
        auto bytes = read_whole_file(path, kMaxFontBytes);
        if (!bytes) return std::nullopt;
        auto inflated = gunzip(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
        font.bytes = inflated ? std::move(*inflated) : std::vector<std::uint8_t>(bytes->begin(), bytes->end());
        if (!open_face(font).empty()) return std::nullopt;
        return font_info(path, font.face);
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    FT_StreamRec stream{};
    stream.size = static_cast<unsigned long>(size);
    stream.descriptor.pointer = &file;
    stream.read = read_font_stream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = &stream;
    FT_Face face = nullptr;
    if (FT_Open_Face(library, &args, 0, &face) != 0) return std::nullopt;
    FontInfo info = font_info(path, face);
    FT_Done_Face(face);
    return info;
}

}  // namespace

std::string code_name(char32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

std::string size_list(const std::vector<int>& sizes)
{
    std::string text;
    for (int size : sizes) text += (text.empty() ? "" : ", ") + std::to_string(size);
    return text;
}

std::vector<FontInfo> list_fonts(const std::filesystem::path& folder)
{
    std::vector<FontInfo> fonts;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return fonts;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec) || !font_extension(entry.path())) continue;
        if (auto font = listed_font(library, entry.path())) fonts.push_back(std::move(*font));
    }
    FT_Done_FreeType(library);
    std::sort(fonts.begin(), fonts.end(), [](const FontInfo& a, const FontInfo& b) {
        return std::tie(a.family, a.style, a.path) < std::tie(b.family, b.style, b.path);
    });
    return fonts;
}

FontMetrics font_metrics(const OpenFont& font)
{
    const FT_Size_Metrics& metrics = font.face->size->metrics;
    FontMetrics result;
    result.ascender = static_cast<int>(metrics.ascender >> 6);
    result.descender = static_cast<int>(metrics.descender >> 6);
    result.line_height = result.ascender - result.descender;
    return result;
}

Glyph render_glyph(OpenFont& font, char32_t code) { return cached_glyph(font, code); }

int kerning(OpenFont& font, char32_t left, char32_t right)
{
    if (!FT_HAS_KERNING(font.face) || !FT_IS_SCALABLE(font.face)) return 0;
    FT_Vector delta{};
    if (FT_Get_Kerning(font.face, FT_Get_Char_Index(font.face, left), FT_Get_Char_Index(font.face, right),
                       FT_KERNING_DEFAULT, &delta) != 0)
        return 0;
    return static_cast<int>((delta.x + 32) >> 6);
}

void draw_glyph(Raster& picture, const Glyph& glyph, int pen_x, int baseline_y, Ink ink)
{
    const int x0 = pen_x + glyph.left, y0 = baseline_y - glyph.top;
    const int from_y = std::max(0, -y0), to_y = std::min(glyph.bitmap.height, picture.height - y0);
    const int from_x = std::max(0, -x0), to_x = std::min(glyph.bitmap.width, picture.width - x0);
    for (int y = from_y; y < to_y; ++y)
        for (int x = from_x; x < to_x; ++x)
            if (glyph.bitmap.lit(x, y)) picture.set(x0 + x, y0 + y, ink == Ink::Set);
}

std::vector<char32_t> draw_text(Raster& picture, OpenFont& font, std::string_view utf8, int x, int y, Ink ink)
{
    const FontMetrics metrics = font_metrics(font);
    std::vector<char32_t> missing;
    long pen = x, line_top = y;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const long point = next_code_point(utf8, pos);
        const char32_t code = point < 0 ? U'\uFFFD' : static_cast<char32_t>(point);
        if (code == U'\n') {
            pen = x;
            line_top += metrics.line_height;
            previous = 0;
            continue;
        }
        const Glyph& glyph = cached_glyph(font, code);
        if (glyph.missing && std::find(missing.begin(), missing.end(), code) == missing.end()) missing.push_back(code);
        if (previous) pen += kerning(font, previous, code);
        // Far off the picture nothing more can land; the pen only needs to stay in range.
        if (pen > -(1L << 20) && pen < (1L << 20) && line_top > -(1L << 20) && line_top < (1L << 20))
            draw_glyph(picture, glyph, static_cast<int>(pen), static_cast<int>(line_top + metrics.ascender), ink);
        pen += glyph.advance;
        previous = code;
    }
    return missing;
}

namespace {

// "0x41" or "65": a code point, or nothing.
std::optional<long> parse_code(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

constexpr long kLastCode = 0x10FFFF;

}  // namespace

CharsResult parse_char_ranges(std::string_view text)
{
    if (trimmed(text).empty()) return {{}, "no characters given"};
    std::vector<char32_t> codes;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string_view item = trimmed(text.substr(start, comma - start));
        start = comma + 1;
        const std::size_t dash = item.find('-');
        const std::string_view first_text = trimmed(item.substr(0, dash));
        const std::string_view last_text = dash == std::string_view::npos ? first_text : trimmed(item.substr(dash + 1));
        const auto first = parse_code(first_text), last = parse_code(last_text);
        const std::string quoted = "\"" + std::string(item) + "\"";
        if (item.empty()) return {{}, "an empty item between commas"};
        if (!first || !last) return {{}, quoted + " is not a code or a range of codes (decimal or 0x hex)"};
        if (*first > kLastCode || *last > kLastCode) return {{}, quoted + " lies beyond U+10FFFF"};
        if (*first > *last) return {{}, quoted + " runs backwards"};
        for (long code = *first; code <= *last; ++code) codes.push_back(static_cast<char32_t>(code));
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return {codes, {}};
}

std::optional<std::vector<char32_t>> charset_codes(std::string_view name)
{
    std::vector<char32_t> codes;
    if (name == "ascii") {
        for (char32_t code = 0x20; code <= 0x7E; ++code) codes.push_back(code);
        return codes;
    }
    if (name == "cp1251") {
        // Byte 0x98 has no character; it decodes to U+0098, which fonts lack.
        for (int byte = 0x20; byte <= 0xFF; ++byte) {
            const std::string utf8 = decode_cp1251(std::string(1, static_cast<char>(byte)));
            std::size_t pos = 0;
            codes.push_back(static_cast<char32_t>(next_code_point(utf8, pos)));
        }
        return codes;
    }
    return std::nullopt;
}

}  // namespace lumetra
