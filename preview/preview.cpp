#include "preview/preview.h"

namespace lumetra {

namespace {

// Which display column (or row) each preview column (or row) shows; -1 for
// the ground between cells.
struct PreviewAxes {
    std::vector<int> across;
    std::vector<int> down;
};

PreviewAxes preview_axes(const PreviewStyle& style)
{
    const PreviewSize size = preview_size(style);
    PreviewAxes axes{std::vector<int>(static_cast<std::size_t>(size.width), -1),
                     std::vector<int>(static_cast<std::size_t>(size.height), -1)};
    if (!style.grid) {
        for (int x = 0; x < size.width; ++x) axes.across[x] = x / style.scale;
        for (int y = 0; y < size.height; ++y) axes.down[y] = y / style.scale;
        return axes;
    }
    // Cells of the top row give the columns, cells of the left column the rows.
    for (int j = 0; j < kCellsAcross; ++j) {
        const int left = cell_origin(1 + j, style.scale).x;
        for (int k = 0; k < kCellBytes * style.scale; ++k) axes.across[left + k] = kCellBytes * j + k / style.scale;
    }
    for (int r = 0; r < kCellsDown; ++r) {
        const int top = cell_origin(1 + kCellsAcross * r, style.scale).y;
        for (int k = 0; k < 8 * style.scale; ++k) axes.down[top + k] = 8 * r + k / style.scale;
    }
    return axes;
}

}  // namespace

std::vector<ViewColour> preview_palette(const PreviewStyle& style)
{
    if (style.grid) return {kViewBackground, kViewInk, kViewGround};
    return {kViewBackground, kViewInk};
}

PreviewSize preview_size(const PreviewStyle& style)
{
    if (style.grid) return {view_width(style.scale), view_height(style.scale)};
    return {kDisplayWidth * style.scale, kDisplayHeight * style.scale};
}

std::vector<std::uint8_t> render_preview(const ScreenBuffer& picture, const PreviewStyle& style)
{
    const PreviewAxes axes = preview_axes(style);
    std::vector<std::uint8_t> pixels;
    pixels.reserve(axes.across.size() * axes.down.size());
    for (int y : axes.down)
        for (int x : axes.across)
            pixels.push_back(x < 0 || y < 0             ? kPreviewGround
                             : read_pixel(picture, x, y) ? kPreviewInk
                                                         : kPreviewBackground);
    return pixels;
}

}  // namespace lumetra
