#include "core/picture_dither.h"

#include <vector>

namespace lumetra {

namespace {

constexpr int kMidGrey = 128;

// Bayer's 8 x 8 index matrix: every 2 x 2, 4 x 4 and 8 x 8 block holds its
// indices spread as evenly as the size allows.
constexpr std::uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

// Where a pixel's error goes: the offset and its share in eighths or
// sixteenths (the divisor of the method).
struct Spread {
    int dx, dy, share;
};
constexpr Spread kFloydSteinberg[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr Spread kAtkinson[] = {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}};

template <std::size_t N>
void diffuse(const GreyPicture& grey, bool invert, const Spread (&spread)[N], int divisor, Raster& raster)
{
    // Levels plus the errors received so far, in sixteenths of a level so that
    // the shares stay whole numbers. Two spare columns each side and two
    // spare rows below take what falls off the picture.
    constexpr int kPad = 2;
    const int stride = grey.width + 2 * kPad;
    std::vector<int> work(static_cast<std::size_t>(stride) * static_cast<std::size_t>(grey.height + kPad), 0);
    const auto cell = [&](int x, int y) -> int& { return work[static_cast<std::size_t>(y) * stride + x + kPad]; };
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x) cell(x, y) = 16 * (invert ? 255 - grey.at(x, y) : grey.at(x, y));
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x) {
            const int value = cell(x, y);
            const bool lit = value < 16 * kMidGrey;
            raster.set(x, y, lit);
            const int error = value - (lit ? 0 : 16 * 255);
            for (const Spread& to : spread) cell(x + to.dx, y + to.dy) += error * to.share / divisor;
        }
}

}  // namespace

GreyPicture display_grey_levels(const RgbImage& picture, PictureSize size)
{
    GreyPicture grey{size.width, size.height,
                     std::vector<std::uint8_t>(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height), 255)};
    if (picture.width <= 0 || picture.height <= 0) return grey;
    const bool fits = picture.width == size.width && picture.height == size.height;
    const RgbImage stretched = fits ? RgbImage{} : stretch_to_display(picture, size);
    const RgbImage& shown = fits ? picture : stretched;
    for (std::size_t i = 0; i < grey.levels.size(); ++i) {
        const std::uint8_t* pixel = shown.rgb.data() + i * 3;
        grey.levels[i] = shown.two_colour ? pixel[2] : grey_level(pixel[0], pixel[1], pixel[2]);
    }
    return grey;
}

Raster raster_from_grey(const GreyPicture& grey, const ImportOptions& options)
{
    Raster raster(grey.width, grey.height);
    switch (options.dither) {
    case DitherMethod::None:
    case DitherMethod::Ordered:
        for (int y = 0; y < grey.height; ++y)
            for (int x = 0; x < grey.width; ++x) {
                const int level = options.invert ? 255 - grey.at(x, y) : grey.at(x, y);
                // Index k stands for the threshold (k + 1/2) x 4: 64 steps over 0..256.
                const int threshold =
                    options.dither == DitherMethod::None ? options.threshold : 4 * kBayer[y % 8][x % 8] + 2;
                raster.set(x, y, level < threshold);
            }
        break;
    case DitherMethod::FloydSteinberg: diffuse(grey, options.invert, kFloydSteinberg, 16, raster); break;
    case DitherMethod::Atkinson: diffuse(grey, options.invert, kAtkinson, 8, raster); break;
    }
    return raster;
}

ScreenBuffer screen_from_grey(const GreyPicture& grey, const ImportOptions& options)
{
    return screen_from_raster(raster_from_grey(grey, options));
}

ScreenBuffer screen_from_picture(const RgbImage& picture, const ImportOptions& options)
{
    if (picture.width <= 0 || picture.height <= 0) return {};
    return screen_from_grey(display_grey_levels(picture), options);
}

Raster raster_from_picture(const RgbImage& picture, PictureSize size, const ImportOptions& options)
{
    if (picture.width <= 0 || picture.height <= 0) return Raster(size.width, size.height);
    return raster_from_grey(display_grey_levels(picture, size), options);
}

}  // namespace lumetra
