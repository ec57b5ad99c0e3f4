// Icons: the largest image of the file, coded as a bitmap with a transparency
// mask or as a PNG. Transparent pixels are shown on white.
#include <cstring>

#include "core/bmp_reader.h"

namespace lumetra {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint8_t on_white(std::uint8_t colour, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The colour bitmap of the icon, then its 1-bit mask (1 = transparent).
DecodeResult decode_icon_bitmap(FileBytes dib, const DecodeLimits& limits)
{
    DecodeResult result;
    DibHeader header;
    result.error = read_dib_header(dib, header);
    if (!result.error.empty()) return result;
    if (header.compression != kBiRgb && header.compression != kBiBitfields) {
        result.error = "an icon bitmap cannot be compressed";
        return result;
    }
    if (header.top_down || header.height % 2 != 0) {
        result.error = "the icon bitmap does not hold a picture and its mask";
        return result;
    }
    header.height /= 2;
    const auto width = static_cast<std::uint64_t>(header.width), height = static_cast<std::uint64_t>(header.height);
    if (std::string error = check_size(width, height, limits); !error.empty()) {
        result.error = error;
        return result;
    }
    const std::uint64_t colour_bytes = dib_stride(width, header.bits) * height;
    const std::uint64_t mask_stride = dib_stride(width, 1);
    FileBytes pixels = dib.subspan(header.palette_end);
    if (colour_bytes + mask_stride * height > pixels.size()) {
        result.error = "the icon bitmap is cut off";
        return result;
    }
    result.error = decode_dib_pixels(header, pixels, limits, result.image);
    if (!result.error.empty()) return result;

    RgbImage& image = result.image;
    // A 32-bit icon with any alpha uses it; otherwise the mask decides.
    bool alpha = false;
    const std::uint64_t colour_stride = dib_stride(width, header.bits);
    if (header.bits == 32)
        for (std::uint64_t i = 3; i < colour_bytes && !alpha; i += 4) alpha = pixels[i] != 0;
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint64_t row = height - 1 - y;
        for (std::uint64_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.rgb.data() + (row * width + x) * 3;
            if (alpha) {
                const std::uint8_t a = pixels[y * colour_stride + x * 4 + 3];
                for (int c = 0; c < 3; ++c) pixel[c] = on_white(pixel[c], a);
            } else if ((pixels[colour_bytes + y * mask_stride + x / 8] >> (7 - x % 8)) & 1u) {
                pixel[0] = pixel[1] = pixel[2] = 255;
            }
        }
    }
    return result;
}

}  // namespace

DecodeResult decode_ico(FileBytes file, const DecodeLimits& limits)
{
    DecodeResult result;
    if (file.size() < 6 || u16(file, 0) != 0 || u16(file, 2) != 1) {
        result.error = "not an icon file";
        return result;
    }
    const std::size_t count = u16(file, 4);
    if (count == 0 || file.size() < 6 + 16 * count) {
        result.error = count == 0 ? "the icon file holds no image" : "the icon directory is cut off";
        return result;
    }
    // The largest image; of equal sizes the deepest; of equal depths the first.
    std::size_t best = 0;
    std::uint64_t best_area = 0;
    unsigned best_bits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        // Every image must be there, not only the one shown: a file cut off
        // anywhere is damaged.
        const std::uint64_t size = u32(file, entry + 8), offset = u32(file, entry + 12);
        if (size == 0 || offset > file.size() || size > file.size() - offset) {
            result.error = "an icon image lies outside the file";
            return result;
        }
        const std::uint64_t width = file[entry] ? file[entry] : 256, height = file[entry + 1] ? file[entry + 1] : 256;
        const unsigned bits = u16(file, entry + 6);
        if (i == 0 || width * height > best_area || (width * height == best_area && bits > best_bits)) {
            best = i;
            best_area = width * height;
            best_bits = bits;
        }
    }
    const std::size_t entry = 6 + 16 * best;
    const std::uint64_t size = u32(file, entry + 8), offset = u32(file, entry + 12);
    FileBytes image = file.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(size));
    if (image.size() >= 8 && std::memcmp(image.data(), kPngSignature, 8) == 0) return decode_png(image, limits);
    return decode_icon_bitmap(image, limits);
}

}  // namespace lumetra
