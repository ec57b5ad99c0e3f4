// Pictures of the display as the editor's screen view shows it, for eyes
// outside the editor: a PNG of one picture, an animated GIF of several.
// Lit pixels are ink on the background colour, every pixel a square of
// `scale` pixels; with the grid, cells and crystals stand apart as in the view.
// A picture of another display is drawn the same way: cells of eight columns
// of a page, counted afresh in each crystal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/image_store.h"
#include "core/raster.h"
#include "core/view_geometry.h"

namespace lumetra {

inline constexpr int kMinPreviewScale = 1;
inline constexpr int kMaxPreviewScale = 32;

struct PreviewStyle {
    int scale = kViewScale;  // kMinPreviewScale..kMaxPreviewScale
    bool grid = false;
    int crystal_columns = kDisplayWidth / 2;  // the grid's wide gap comes every this many columns
};

// Palette indices of a preview's pixels.
enum PreviewColour : std::uint8_t { kPreviewBackground = 0, kPreviewInk = 1, kPreviewGround = 2 };

// The colours of the indices above; the ground only shows with the grid.
std::vector<ViewColour> preview_palette(const PreviewStyle& style);

struct PreviewSize {
    int width = 0;
    int height = 0;
};
// width x height times the scale, or with the grid (for 128 x 64) the whole
// view of view_geometry.h.
PreviewSize preview_size(const PreviewStyle& style, int width = kDisplayWidth, int height = kDisplayHeight);

// The whole preview, one palette index a pixel, row by row.
std::vector<std::uint8_t> render_preview(const Raster& picture, const PreviewStyle& style);

// A file's bytes, or why there are none (error is then not empty).
struct EncodedFile {
    std::string bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};

// An indexed PNG of the preview.
EncodedFile encode_preview_png(const Raster& picture, const PreviewStyle& style);

// A plain black and white PNG, one pixel a pixel, lit pixels black: what the
// import takes back as the same picture.
EncodedFile encode_bitmap_png(const Raster& picture);

// GIF delays count hundredths of a second: a delay in milliseconds goes to
// the nearest one, halves upwards (15 ms is 2, 14 ms is 1), and never to 0,
// which players read as "as fast as you can".
int gif_delay_centiseconds(int delay_ms);

// An animated GIF that shows the frames in order, each for its delay (one a
// frame, in milliseconds), and starts again for ever.
// The frames have one size.
EncodedFile encode_preview_gif(std::span<const Raster> frames, const PreviewStyle& style, std::span<const int> delays_ms);

}  // namespace lumetra
