// The preview as an indexed PNG, written with libpng into memory.
#include <png.h>

#include <csetjmp>
#include <new>

#include "preview/preview.h"

namespace lumetra {

namespace {

void append_bytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        png_error(png, "not enough memory for the PNG file");
    }
}

void flush_nothing(png_structp) {}

void keep_message(png_structp png, png_const_charp message)
{
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    try {
        if (error->empty()) *error = message;
    } catch (const std::bad_alloc&) {
    }
    png_longjmp(png, 1);
}

void ignore_warning(png_structp, png_const_charp) {}

// Everything libpng may jump out of lives in the caller; no object with a
// destructor is made after setjmp.
bool write_png(std::string& out, std::string& error, const std::vector<std::uint8_t>& pixels, const PreviewSize& size,
               const std::vector<png_color>& palette)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, keep_message, ignore_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &out, append_bytes, flush_nothing);
    const int depth = palette.size() <= 2 ? 1 : 2;
    png_set_IHDR(png, info, static_cast<png_uint_32>(size.width), static_cast<png_uint_32>(size.height), depth,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    png_set_packing(png);  // one index a byte in, `depth` bits a pixel out
    for (int y = 0; y < size.height; ++y)
        png_write_row(png, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

EncodedFile encode_png(const std::vector<std::uint8_t>& pixels, const PreviewSize& size,
                       const std::vector<png_color>& palette)
{
    EncodedFile file;
    try {
        if (!write_png(file.bytes, file.error, pixels, size, palette)) {
            if (file.error.empty()) file.error = "libpng could not start";
            file.error = "cannot make the PNG file: " + file.error;
            file.bytes.clear();
        }
    } catch (const std::bad_alloc&) {
        file.bytes.clear();
        file.error = "not enough memory for the PNG file";
    }
    return file;
}

}  // namespace

EncodedFile encode_preview_png(const Raster& picture, const PreviewStyle& style)
{
    try {
        std::vector<png_color> palette;
        for (const ViewColour& colour : preview_palette(style)) palette.push_back({colour.r, colour.g, colour.b});
        return encode_png(render_preview(picture, style), preview_size(style, picture.width, picture.height), palette);
    } catch (const std::bad_alloc&) {
        return {{}, "not enough memory for the PNG file"};
    }
}

EncodedFile encode_bitmap_png(const Raster& picture)
{
    std::vector<std::uint8_t> pixels(picture.pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = picture.pixels[i] ? 0 : 1;
    return encode_png(pixels, {picture.width, picture.height}, {{0, 0, 0}, {255, 255, 255}});
}

}  // namespace lumetra
