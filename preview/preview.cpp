#include "preview/preview.h"

namespace lumetra {

namespace {

// Which display column (or row) each preview column (or row) shows; -1 for
// the ground between cells.
struct PreviewAxes {
    std::vector<int> across;
    std::vector<int> down;
};

// One axis of the grid: the margin, then cells of eight pixels one apart,
// and where a crystal begins (every `crystal` pixels) three apart. Without
// the grid every pixel is `scale` wide and nothing lies between.
std::vector<int> preview_axis(int pixels, int crystal, const PreviewStyle& style)
{
    std::vector<int> axis;
    if (style.grid) axis.assign(kViewMargin, -1);
    for (int p = 0; p < pixels; ++p) {
        const int within = p % crystal;
        if (style.grid && p > 0 && within % kCellBytes == 0) axis.insert(axis.end(), within == 0 ? kCrystalGap : kCellGap, -1);
        axis.insert(axis.end(), static_cast<std::size_t>(style.scale), p);
    }
    return axis;
}

PreviewAxes preview_axes(const PreviewStyle& style, int width, int height)
{
    return {preview_axis(width, style.crystal_columns > 0 ? style.crystal_columns : width, style),
            preview_axis(height, height, style)};
}

}  // namespace

std::vector<ViewColour> preview_palette(const PreviewStyle& style)
{
    if (style.grid) return {kViewBackground, kViewInk, kViewGround};
    return {kViewBackground, kViewInk};
}

PreviewSize preview_size(const PreviewStyle& style, int width, int height)
{
    const PreviewAxes axes = preview_axes(style, width, height);
    return {static_cast<int>(axes.across.size()), static_cast<int>(axes.down.size())};
}

std::vector<std::uint8_t> render_preview(const Raster& picture, const PreviewStyle& style)
{
    const PreviewAxes axes = preview_axes(style, picture.width, picture.height);
    std::vector<std::uint8_t> pixels;
    pixels.reserve(axes.across.size() * axes.down.size());
    for (int y : axes.down)
        for (int x : axes.across)
            pixels.push_back(x < 0 || y < 0           ? kPreviewGround
                             : picture.lit(x, y) ? kPreviewInk
                                                       : kPreviewBackground);
    return pixels;
}

}  // namespace lumetra
