// A small animated GIF written with giflib for the editor's tests: 128 x 64,
// black on white, frame k with the number k in the first byte of cell 1.
#pragma once

#include <gif_lib.h>

#include <string>
#include <vector>

#include "core/image_store.h"

namespace lumetra::testing {

// One delay in milliseconds a frame (whole hundredths).
inline std::string make_test_gif(const std::vector<int>& delays_ms)
{
    std::string bytes;
    auto append = [](GifFileType* gif, const GifByteType* data, int size) {
        static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data),
                                                         static_cast<std::size_t>(size));
        return size;
    };
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, append, &error);
    if (!gif) return {};
    GifColorType colours[2] = {{255, 255, 255}, {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, kDisplayWidth, kDisplayHeight, 1, 0, map);
    GifFreeMapObject(map);
    for (std::size_t k = 1; k <= delays_ms.size(); ++k) {
        GraphicsControlBlock control{DISPOSE_DO_NOT, false, delays_ms[k - 1] / 10, NO_TRANSPARENT_COLOR};
        GifByteType control_bytes[4];
        EGifGCBToExtension(&control, control_bytes);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control_bytes);
        EGifPutImageDesc(gif, 0, 0, kDisplayWidth, kDisplayHeight, false, nullptr);
        for (int y = 0; y < kDisplayHeight; ++y) {
            GifPixelType row[kDisplayWidth] = {};
            row[0] = static_cast<GifPixelType>(y < 8 && (k >> y & 1));  // bit y of the first byte
            EGifPutLine(gif, row, kDisplayWidth);
        }
    }
    EGifCloseFile(gif, &error);
    return bytes;
}

}  // namespace lumetra::testing
