// From a decoded picture to the display: stretch, grey rule, threshold.
#include <algorithm>
#include <array>
#include <new>

#include "core/picture_decode.h"

namespace lumetra {

namespace {

constexpr int kLitBelow = 220;

// One source column (or row) and the share of one target column it covers,
// measured in units where a source pixel is `target` long and a target pixel
// `source` long, so that every overlap is a whole number.
struct Share {
    int source;
    int target;
    std::uint64_t weight;
};

std::vector<Share> shares(int source_size, int target_size)
{
    std::vector<Share> result;
    result.reserve(static_cast<std::size_t>(source_size) + static_cast<std::size_t>(target_size));
    auto n = static_cast<std::uint64_t>(source_size);
    auto m = static_cast<std::uint64_t>(target_size);
    for (std::uint64_t t = 0; t < m; ++t) {
        std::uint64_t begin = t * n, end = (t + 1) * n;  // the target pixel
        for (std::uint64_t s = begin / m; s * m < end; ++s) {
            std::uint64_t overlap = std::min(end, (s + 1) * m) - std::max(begin, s * m);
            result.push_back({static_cast<int>(s), static_cast<int>(t), overlap});
        }
    }
    return result;
}

}  // namespace

std::string check_size(std::uint64_t width, std::uint64_t height, const DecodeLimits& limits)
{
    if (width == 0 || height == 0) return "the picture has no pixels";
    if (width > limits.max_pixels || height > limits.max_pixels || width * height > limits.max_pixels)
        return "the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    return {};
}

std::string prepare_image(RgbImage& image, std::uint64_t width, std::uint64_t height, const DecodeLimits& limits)
{
    if (std::string error = check_size(width, height, limits); !error.empty()) return error;
    try {
        image.rgb.assign(width * height * 3, 0);
    } catch (const std::bad_alloc&) {
        return "not enough memory for the picture";
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return {};
}

RgbImage stretch_to_display(const RgbImage& picture)
{
    RgbImage out;
    out.width = kDisplayWidth;
    out.height = kDisplayHeight;
    out.two_colour = picture.two_colour;
    out.rgb.assign(kDisplayWidth * kDisplayHeight * 3, 0);
    if (picture.width <= 0 || picture.height <= 0) return out;

    const std::vector<Share> across = shares(picture.width, kDisplayWidth);
    const std::vector<Share> down = shares(picture.height, kDisplayHeight);
    // Sums of weight x value; the weights of one target pixel add up to
    // width x height, at most 64 million, so 64 bits hold any sum. The two
    // passes run in the order that keeps the work near one visit per source
    // pixel: a picture of 1 x 64 million must not cost 128 adds a row.
    std::vector<std::uint64_t> sums(kDisplayWidth * kDisplayHeight * 3, 0);
    const auto row_of = [&](int y) {
        return picture.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) * 3;
    };
    if (picture.height > picture.width) {
        // Down first: the source rows of one target row into one row of
        // column sums, then across.
        std::vector<std::uint64_t> columns(static_cast<std::size_t>(picture.width) * 3);
        std::size_t i = 0;
        for (int t = 0; t < kDisplayHeight; ++t) {
            std::fill(columns.begin(), columns.end(), 0);
            for (; i < down.size() && down[i].target == t; ++i) {
                const std::uint8_t* source = row_of(down[i].source);
                for (std::size_t k = 0; k < columns.size(); ++k) columns[k] += down[i].weight * source[k];
            }
            std::uint64_t* target = sums.data() + static_cast<std::size_t>(t) * kDisplayWidth * 3;
            for (const Share& share : across)
                for (int c = 0; c < 3; ++c) target[share.target * 3 + c] += share.weight * columns[share.source * 3 + c];
        }
    } else {
        // Across first: each source row into 128 column sums, then into the
        // one or two target rows it covers. The shares are in target order
        // and so also in source order.
        std::array<std::uint64_t, kDisplayWidth * 3> row{};
        std::size_t next_down = 0;
        for (int y = 0; y < picture.height; ++y) {
            row.fill(0);
            const std::uint8_t* source = row_of(y);
            for (const Share& share : across)
                for (int c = 0; c < 3; ++c) row[share.target * 3 + c] += share.weight * source[share.source * 3 + c];
            while (next_down < down.size() && down[next_down].source < y) ++next_down;
            for (std::size_t i = next_down; i < down.size() && down[i].source == y; ++i) {
                std::uint64_t* target = sums.data() + static_cast<std::size_t>(down[i].target) * kDisplayWidth * 3;
                for (std::size_t k = 0; k < row.size(); ++k) target[k] += down[i].weight * row[k];
            }
        }
    }
    const std::uint64_t area = static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height);
    for (std::size_t k = 0; k < sums.size(); ++k) out.rgb[k] = static_cast<std::uint8_t>((sums[k] + area / 2) / area);
    return out;
}

std::uint8_t grey_level(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<std::uint8_t>((30 * r + 53 * g + 11 * b) / 94);
}

ScreenBuffer screen_from_picture(const RgbImage& picture)
{
    ScreenBuffer screen;
    if (picture.width <= 0 || picture.height <= 0) return screen;
    const bool fits = picture.width == kDisplayWidth && picture.height == kDisplayHeight;
    const RgbImage stretched = fits ? RgbImage{} : stretch_to_display(picture);
    const RgbImage& shown = fits ? picture : stretched;
    for (int y = 0; y < kDisplayHeight; ++y)
        for (int x = 0; x < kDisplayWidth; ++x) {
            const std::uint8_t* pixel = shown.rgb.data() + (static_cast<std::size_t>(y) * kDisplayWidth + x) * 3;
            int level = shown.two_colour ? pixel[2] : grey_level(pixel[0], pixel[1], pixel[2]);
            write_pixel(screen, x, y, level < kLitBelow);
        }
    return screen;
}

}  // namespace lumetra
