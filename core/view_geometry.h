// How the display is laid out when it is shown enlarged: cell by cell, each
// cell's 8 x 8 pixels as squares of `scale` pixels, neighbouring cells one
// pixel apart and the two crystals three pixels apart, on a white ground with
// a one-pixel margin at the left and the top. The editor's screen view is this
// layout at scale 4; the previews of lumetra-cli draw it at any scale.
#pragma once

#include <cstdint>

#include "core/image_store.h"

namespace lumetra {

struct ViewColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const ViewColour&) const = default;
};

inline constexpr ViewColour kViewBackground{97, 213, 155};  // clear pixels
inline constexpr ViewColour kViewInk{0, 0, 0};              // lit pixels
inline constexpr ViewColour kViewGround{255, 255, 255};     // shows through the gaps

inline constexpr int kViewScale = 4;  // the screen view's enlargement
inline constexpr int kViewMargin = 1;
inline constexpr int kCellGap = 1;
inline constexpr int kCrystalGap = 3;
inline constexpr int kCellsAcross = kDisplayWidth / kCellBytes;  // 16, eight a crystal
inline constexpr int kCellsDown = kDisplayHeight / 8;            // 8 pages

struct ViewPoint {
    int x = 0;
    int y = 0;
};

// Top-left corner of cell n (1..128, row by row) in the laid-out view.
constexpr ViewPoint cell_origin(int cell, int scale)
{
    const int row = (cell - 1) / kCellsAcross, column = (cell - 1) % kCellsAcross;
    const int step = kCellBytes * scale + kCellGap;
    const int crystal_shift = column >= kCellsAcross / 2 ? kCrystalGap - kCellGap : 0;
    return {kViewMargin + step * column + crystal_shift, kViewMargin + step * row};
}

constexpr int view_width(int scale)
{
    return kViewMargin + kCellsAcross * kCellBytes * scale + (kCellsAcross - 2) * kCellGap + kCrystalGap;
}

constexpr int view_height(int scale) { return kViewMargin + kCellsDown * 8 * scale + (kCellsDown - 1) * kCellGap; }

}  // namespace lumetra
