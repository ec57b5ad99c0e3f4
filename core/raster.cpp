#include "core/raster.h"

namespace lumetra {

Raster raster_from_screen(const ScreenBuffer& screen)
{
    Raster raster(kDisplayWidth, kDisplayHeight);
    for (int y = 0; y < kDisplayHeight; ++y)
        for (int x = 0; x < kDisplayWidth; ++x) raster.set(x, y, read_pixel(screen, x, y));
    return raster;
}

ScreenBuffer screen_from_raster(const Raster& raster)
{
    ScreenBuffer screen;
    for (int y = 0; y < raster.height && y < kDisplayHeight; ++y)
        for (int x = 0; x < raster.width && x < kDisplayWidth; ++x)
            if (raster.lit(x, y)) write_pixel(screen, x, y, true);
    return screen;
}

}  // namespace lumetra
