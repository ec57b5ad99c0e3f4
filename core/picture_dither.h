// Other ways from a decoded picture to lit pixels than the editor's fixed
// threshold: a threshold of one's own, a negative, and dithering, which lets
// photos keep their shades as a density of lit pixels. All of them work on the
// grey levels of the picture after the stretch to 128 x 64.
#pragma once

#include <array>
#include <vector>
#include <cstdint>

#include "core/picture_decode.h"
#include "core/raster.h"

namespace lumetra {

enum class DitherMethod { None, FloydSteinberg, Atkinson, Ordered };

struct ImportOptions {
    DitherMethod dither = DitherMethod::None;
    // Without dithering a pixel is lit where its level is below this (1..255).
    // The dithering methods decide at mid grey and keep the shades instead.
    int threshold = 220;
    // Takes the negative of the picture first: dark becomes clear, light lit.
    bool invert = false;
    bool operator==(const ImportOptions&) const = default;
};

// One level 0 (black) .. 255 (white) a display pixel, row by row; the
// editor's 128 x 64 unless made for another display.
struct GreyPicture {
    int width = kDisplayWidth;
    int height = kDisplayHeight;
    std::vector<std::uint8_t> levels = std::vector<std::uint8_t>(kDisplayWidth * kDisplayHeight, 0);
    std::uint8_t at(int x, int y) const { return levels[static_cast<std::size_t>(y) * width + x]; }
};

// The levels the editor's import compares with its threshold: the picture
// stretched to 128 x 64 (or size) when it has another size, the grey rule for
// pictures deeper than 1 bit, the blue of the two colours of a 1-bit picture.
// An empty picture is all white.
GreyPicture display_grey_levels(const RgbImage& picture, PictureSize size = {});

// The display picture from the levels. With the default options this is the
// editor's import exactly. Error diffusion runs left to right on every row,
// top to bottom, decides at mid grey, and drops what falls off the edges:
// Floyd-Steinberg passes on all of a pixel's error, Atkinson three quarters
// (crisper, at the cost of the lightest and darkest shades). Ordered
// dithering compares with an 8 x 8 Bayer matrix of thresholds spread evenly
// over 0..255, so every aligned 8 x 8 block of a flat grey lights within one
// pixel of its share.
Raster raster_from_grey(const GreyPicture& grey, const ImportOptions& options);
ScreenBuffer screen_from_grey(const GreyPicture& grey, const ImportOptions& options);

// display_grey_levels followed by screen_from_grey (or raster_from_grey at size).
ScreenBuffer screen_from_picture(const RgbImage& picture, const ImportOptions& options);
Raster raster_from_picture(const RgbImage& picture, PictureSize size, const ImportOptions& options);

}  // namespace lumetra
