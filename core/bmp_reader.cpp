// BMP files of our own reading: 1, 4, 8, 16, 24 and 32 bits, uncompressed,
// RLE8, RLE4 and BITFIELDS, rows bottom-up or top-down.
#include "core/bmp_reader.h"

#include <bit>

namespace lumetra {

namespace {

bool has(FileBytes bytes, std::uint64_t offset, std::uint64_t count)
{
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

std::int32_t s32(FileBytes b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

// A colour field of a 16- or 32-bit pixel, widened to 8 bits by repeating its
// bit pattern (5 bits 10110 become 10110101), as the display driver does.
struct Field {
    int shift = 0;
    int bits = 0;
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (bits == 0) return 0;
        const std::uint32_t all = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
        const std::uint32_t value = (pixel >> shift) & all;
        if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
        std::uint32_t wide = 0;
        int filled = 0;
        for (; filled < 8; filled += bits) wide = wide << bits | value;
        return static_cast<std::uint8_t>(wide >> (filled - 8));
    }
};

bool field_of(std::uint32_t mask, Field& field)
{
    if (mask == 0) {
        field = {};
        return true;
    }
    field.shift = std::countr_zero(mask);
    field.bits = std::popcount(mask);
    // Only one unbroken run of bits makes sense as a colour field.
    return (mask >> field.shift) == (field.bits == 32 ? 0xFFFFFFFFu : (1u << field.bits) - 1u);
}

void put(RgbImage& image, std::int64_t x, std::int64_t row, const std::array<std::uint8_t, 3>& colour)
{
    std::uint8_t* pixel = image.rgb.data() + (static_cast<std::size_t>(row) * image.width + x) * 3;
    pixel[0] = colour[0];
    pixel[1] = colour[1];
    pixel[2] = colour[2];
}

std::string decode_uncompressed(const DibHeader& h, FileBytes pixels, RgbImage& image)
{
    const std::uint64_t stride = dib_stride(static_cast<std::uint64_t>(h.width), h.bits);
    std::array<Field, 3> fields{};
    if (h.bits == 16 || h.bits == 32)
        for (int c = 0; c < 3; ++c)
            if (!field_of(h.masks[c], fields[c])) return "a colour mask is not one run of bits";
    const std::size_t colours = h.palette.size();
    for (std::int64_t y = 0; y < h.height; ++y) {
        const std::int64_t row = h.top_down ? y : h.height - 1 - y;
        FileBytes line = pixels.subspan(static_cast<std::size_t>(y * static_cast<std::int64_t>(stride)),
                                        static_cast<std::size_t>(stride));
        for (std::int64_t x = 0; x < h.width; ++x) {
            std::array<std::uint8_t, 3> colour{};
            const auto at = static_cast<std::size_t>(x);
            if (h.bits <= 8) {
                const int per_byte = 8 / h.bits;
                const int shift = 8 - h.bits * (1 + static_cast<int>(at % per_byte));
                const std::size_t index = (line[at / per_byte] >> shift) & ((1u << h.bits) - 1u);
                if (index >= colours) return "a colour index lies outside the palette";
                colour = h.palette[index];
            } else if (h.bits == 24) {
                colour = {line[at * 3 + 2], line[at * 3 + 1], line[at * 3]};
            } else {
                const std::uint32_t pixel = h.bits == 16 ? u16(line, at * 2) : u32(line, at * 4);
                colour = {fields[0](pixel), fields[1](pixel), fields[2](pixel)};
            }
            put(image, x, row, colour);
        }
    }
    return {};
}

// RLE8 and RLE4 pictures are always stored bottom-up. Pixels that a delta or
// an early end of line or picture skips keep colour 0 of the palette.
std::string decode_rle(const DibHeader& h, FileBytes data, RgbImage& image)
{
    const bool four = h.compression == kBiRle4;
    const std::size_t colours = h.palette.size();
    for (std::int64_t row = 0; row < h.height; ++row)
        for (std::int64_t x = 0; x < h.width; ++x) put(image, x, row, h.palette[0]);

    std::int64_t x = 0, y = 0;  // y counts from the bottom row
    std::size_t at = 0;
    auto paint = [&](std::size_t index) -> bool {
        if (index >= colours) return false;
        put(image, x, h.height - 1 - y, h.palette[index]);
        ++x;
        return true;
    };
    for (;;) {
        if (!has(data, at, 2)) return "the compressed pixels end before the end of the picture";
        const unsigned count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= h.height || x + count > h.width) return "a compressed run goes past the picture";
            for (unsigned i = 0; i < count; ++i) {
                const unsigned index = four ? (i % 2 == 0 ? value >> 4 : value & 15u) : value;
                if (!paint(index)) return "a colour index lies outside the palette";
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            return {};
        } else if (value == 2) {  // delta
            if (!has(data, at, 2)) return "the compressed pixels end inside a delta";
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > h.width || y > h.height || (y == h.height && x > 0)) return "a delta moves past the picture";
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (!has(data, at, bytes + bytes % 2)) return "the compressed pixels end inside an absolute run";
            if (y >= h.height || x + value > h.width) return "an absolute run goes past the picture";
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = data[at + (four ? i / 2 : i)];
                const unsigned index = four ? (i % 2 == 0 ? byte >> 4 : byte & 15u) : byte;
                if (!paint(index)) return "a colour index lies outside the palette";
            }
            at += bytes + bytes % 2;
        }
    }
}

}  // namespace

std::uint64_t dib_stride(std::uint64_t width, int bits)
{
    return (width * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
}

std::string read_dib_header(FileBytes dib, DibHeader& h)
{
    if (!has(dib, 0, 4)) return "the bitmap header is cut off";
    h.header_size = u32(dib, 0);
    const bool core = h.header_size == 12;
    switch (h.header_size) {
    case 12: case 40: case 52: case 56: case 108: case 124: break;
    default: return "unknown bitmap header of " + std::to_string(h.header_size) + " bytes";
    }
    if (!has(dib, 0, h.header_size)) return "the bitmap header is cut off";
    std::uint32_t colours_used = 0;
    int planes = 0;
    if (core) {
        h.width = u16(dib, 4);
        h.height = u16(dib, 6);
        planes = u16(dib, 8);
        h.bits = u16(dib, 10);
        h.compression = kBiRgb;
    } else {
        h.width = s32(dib, 4);
        h.height = s32(dib, 8);
        planes = u16(dib, 12);
        h.bits = u16(dib, 14);
        h.compression = u32(dib, 16);
        colours_used = u32(dib, 32);
    }
    h.top_down = h.height < 0;
    if (h.top_down) h.height = -h.height;
    if (planes != 1) return "a bitmap has exactly one plane";
    if (h.width <= 0 || h.height <= 0) return "the picture has no pixels";
    switch (h.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return "unsupported depth of " + std::to_string(h.bits) + " bits";
    }
    if (core && h.bits == 16) return "unsupported depth of 16 bits";
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if ((h.compression == kBiRle8 && h.bits != 8) || (h.compression == kBiRle4 && h.bits != 4) ||
        (h.compression == kBiBitfields && h.bits != 16 && h.bits != 32) || h.compression > kBiBitfields)
        return "unsupported compression " + std::to_string(h.compression) + " at " + std::to_string(h.bits) + " bits";
    if (rle && h.top_down) return "a compressed bitmap cannot be stored top-down";

    std::size_t table = h.header_size;
    if (h.compression == kBiBitfields) {
        if (h.header_size == 40) table += 12;  // the masks follow the short header
        if (!has(dib, 40, 12)) return "the colour masks are cut off";
        h.masks = {u32(dib, 40), u32(dib, 44), u32(dib, 48)};
    } else if (h.bits == 16) {
        h.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (h.bits == 32) {
        h.masks = {0xFF0000, 0xFF00, 0xFF};
    }
    h.palette.clear();
    h.palette_end = table;
    if (h.bits <= 8) {
        const std::uint32_t full = 1u << h.bits;
        const std::uint32_t count = colours_used == 0 ? full : colours_used;
        if (count > full) return "the colour table is larger than the depth allows";
        const std::size_t entry = core ? 3 : 4;
        if (!has(dib, table, std::uint64_t{count} * entry)) return "the colour table is cut off";
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t at = table + i * entry;
            h.palette.push_back({dib[at + 2], dib[at + 1], dib[at]});
        }
        h.palette_end = table + count * entry;
    }
    return {};
}

std::string decode_dib_pixels(const DibHeader& h, FileBytes pixels, const DecodeLimits& limits, RgbImage& image)
{
    const auto width = static_cast<std::uint64_t>(h.width), height = static_cast<std::uint64_t>(h.height);
    if (std::string error = check_size(width, height, limits); !error.empty()) return error;
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if (!rle && dib_stride(width, h.bits) * height > pixels.size()) return "the pixel data is cut off";
    if (std::string error = prepare_image(image, width, height, limits); !error.empty()) return error;
    image.two_colour = h.bits == 1;
    return rle ? decode_rle(h, pixels, image) : decode_uncompressed(h, pixels, image);
}

DecodeResult decode_bmp(FileBytes file, const DecodeLimits& limits)
{
    DecodeResult result;
    if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') {
        result.error = "not a BMP file";
        return result;
    }
    const std::uint32_t pixel_offset = u32(file, 10);
    DibHeader header;
    result.error = read_dib_header(file.subspan(14), header);
    if (!result.error.empty()) return result;
    if (pixel_offset < 14 + header.header_size || pixel_offset > file.size()) {
        result.error = "the pixel data offset points outside the pixel data";
        return result;
    }
    result.error = decode_dib_pixels(header, file.subspan(pixel_offset), limits, result.image);
    return result;
}

}  // namespace lumetra
