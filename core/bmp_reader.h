// The device-independent bitmap shared by BMP files and BMP-coded icons.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/picture_decode.h"

namespace lumetra {

struct DibHeader {
    std::uint32_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; top_down tells the row order
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue of 16- and 32-bit pixels
    std::vector<std::array<std::uint8_t, 3>> palette;  // R, G, B
    std::size_t palette_end = 0;  // offset just past the colour table, from the header's start
};

// Little-endian numbers at byte offset at; the caller has checked the bytes are there.
inline std::uint16_t u16(FileBytes b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
inline std::uint32_t u32(FileBytes b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

// Reads the header and colour table at the start of dib. For an icon the
// height covers the colour picture and its mask together.
std::string read_dib_header(FileBytes dib, DibHeader& header);

// Bytes of one uncompressed row, padded to four bytes.
std::uint64_t dib_stride(std::uint64_t width, int bits);

// Decodes the pixels of a header already read; pixels starts at the first
// row as stored.
std::string decode_dib_pixels(const DibHeader& header, FileBytes pixels, const DecodeLimits& limits, RgbImage& image);

}  // namespace lumetra
