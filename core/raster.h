// A picture of any display size: width x height pixels, each lit or clear,
// row by row from the top. The editor's 128 x 64 buffers are one such size
// in display-memory order; the conversions between the two are here.
#pragma once

#include <cstdint>
#include <vector>

#include "core/image_store.h"

namespace lumetra {

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // 1 lit, 0 clear

    Raster() = default;
    Raster(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}
    bool lit(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] != 0; }
    void set(int x, int y, bool on) { pixels[static_cast<std::size_t>(y) * width + x] = on ? 1 : 0; }
    bool operator==(const Raster&) const = default;
};

Raster raster_from_screen(const ScreenBuffer& screen);
// A raster of another size than 128 x 64 gives what fits of it.
ScreenBuffer screen_from_raster(const Raster& raster);

}  // namespace lumetra
