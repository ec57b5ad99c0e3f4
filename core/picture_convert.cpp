// From a decoded picture to the display: stretch, grey rule, threshold.
#include <algorithm>
#include <array>
#include <cstdint>
#include <new>

#include "core/picture_decode.h"

namespace lumetra {

namespace {

constexpr int kLitBelow = 220;

std::vector<StretchShare> shares(int source_size, int target_size)
{
    std::vector<StretchShare> result;
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

DisplayStretch::DisplayStretch(int width, int height, PictureSize target) : width_(width), height_(height), target_(target)
{
    sums_.assign(static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.height) * 3, 0);
    if (width <= 0 || height <= 0) return;
    across_ = shares(width, target.width);
    down_ = shares(height, target.height);
    // From as many rows as the target has on, the rows of one target row are summed down first into
    // a row of column sums (a plain loop over the bytes, the costliest part),
    // which goes across once per target row. Fewer rows would pay that once
    // per target row for very few source rows (a picture of 64 million x 1):
    // those go across row by row instead. A column sum is at most height x
    // 255, so 32 bits hold it up to 16 million rows.
    if (height >= target.height) {
        if (static_cast<std::uint64_t>(height) * 255 <= UINT32_MAX)
            narrow_columns_.assign(static_cast<std::size_t>(width) * 3, 0);
        else
            wide_columns_.assign(static_cast<std::size_t>(width) * 3, 0);
    }
}

// Plain pointers, not the vectors themselves: the bytes could alias a
// vector's own members, which would keep the compiler from vector adds.
template <typename Sum>
static void add_weighted(Sum* sums, const std::uint8_t* bytes, std::size_t count, std::uint16_t weight)
{
    // A weight is at most 64, so weight x byte fits 16 bits: 16-bit
    // multiplications, which every x86-64 vector unit has.
    for (std::size_t k = 0; k < count; ++k) sums[k] += static_cast<std::uint16_t>(weight * bytes[k]);
}

template <typename Sum>
static void add_across(const std::vector<StretchShare>& across, const std::vector<Sum>& columns, std::uint64_t* target)
{
    for (const StretchShare& share : across)
        for (int c = 0; c < 3; ++c) target[share.target * 3 + c] += share.weight * columns[share.source * 3 + c];
}

void DisplayStretch::flush_columns()
{
    if (column_target_ < 0) return;
    std::uint64_t* target = sums_.data() + static_cast<std::size_t>(column_target_) * target_.width * 3;
    if (!narrow_columns_.empty()) {
        add_across(across_, narrow_columns_, target);
        std::fill(narrow_columns_.begin(), narrow_columns_.end(), 0);
    } else {
        add_across(across_, wide_columns_, target);
        std::fill(wide_columns_.begin(), wide_columns_.end(), 0);
    }
    column_target_ = -1;
}

void DisplayStretch::add_row(const std::uint8_t* rgb)
{
    if (next_row_ >= height_) return;
    const int y = next_row_++;
    // The shares of this source row: one target row, or two when it straddles.
    while (next_down_ < down_.size() && down_[next_down_].source < y) ++next_down_;
    if (!narrow_columns_.empty() || !wide_columns_.empty()) {
        for (std::size_t i = next_down_; i < down_.size() && down_[i].source == y; ++i) {
            if (down_[i].target != column_target_) {
                flush_columns();
                column_target_ = down_[i].target;
            }
            const auto weight = static_cast<std::uint16_t>(down_[i].weight);  // at most the target height
            if (!narrow_columns_.empty())
                add_weighted(narrow_columns_.data(), rgb, narrow_columns_.size(), weight);
            else
                add_weighted(wide_columns_.data(), rgb, wide_columns_.size(), weight);
        }
        return;
    }
    std::vector<std::uint64_t> row(static_cast<std::size_t>(target_.width) * 3, 0);
    for (const StretchShare& share : across_)
        for (int c = 0; c < 3; ++c) row[share.target * 3 + c] += share.weight * rgb[share.source * 3 + c];
    for (std::size_t i = next_down_; i < down_.size() && down_[i].source == y; ++i) {
        std::uint64_t* target = sums_.data() + static_cast<std::size_t>(down_[i].target) * target_.width * 3;
        for (std::size_t k = 0; k < row.size(); ++k) target[k] += down_[i].weight * row[k];
    }
}

RgbImage DisplayStretch::finish(bool two_colour)
{
    flush_columns();
    RgbImage out;
    out.width = target_.width;
    out.height = target_.height;
    out.two_colour = two_colour;
    out.rgb.assign(sums_.size(), 0);
    if (width_ <= 0 || height_ <= 0) return out;
    // Sums of weight x value; the weights of one target pixel add up to
    // width x height, at most 64 million, so 64 bits hold any sum.
    const std::uint64_t area = static_cast<std::uint64_t>(width_) * static_cast<std::uint64_t>(height_);
    for (std::size_t k = 0; k < sums_.size(); ++k) out.rgb[k] = static_cast<std::uint8_t>((sums_[k] + area / 2) / area);
    return out;
}

RgbImage stretch_to_display(const RgbImage& picture, PictureSize size)
{
    DisplayStretch stretch(picture.width, picture.height, size);
    for (int y = 0; y < picture.height; ++y)
        stretch.add_row(picture.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) * 3);
    return stretch.finish(picture.two_colour);
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
