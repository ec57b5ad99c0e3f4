// Frames of the preview as an animated GIF, written with giflib into memory.
#include <gif_lib.h>

#include <algorithm>
#include <new>

#include "preview/preview.h"

namespace lumetra {

namespace {

int append_bytes(GifFileType* gif, const GifByteType* data, int length)
{
    try {
        static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return 0;  // giflib reports a failed write
    }
    return length;
}

// Colour maps of GIF files hold a power of two of entries.
ColorMapObject* make_colour_map(const std::vector<ViewColour>& palette)
{
    GifColorType colours[4] = {};
    for (std::size_t i = 0; i < palette.size() && i < 4; ++i) colours[i] = {palette[i].r, palette[i].g, palette[i].b};
    return GifMakeMapObject(palette.size() <= 2 ? 2 : 4, colours);
}

// The steps of one file; the first failing one names giflib's reason.
int write_frames(GifFileType* gif, std::span<const Raster> frames, const PreviewStyle& style,
                 std::span<const int> delays_ms)
{
    const PreviewSize size = preview_size(style, frames[0].width, frames[0].height);
    ColorMapObject* map = make_colour_map(preview_palette(style));
    if (!map) return E_GIF_ERR_NOT_ENOUGH_MEM;
    EGifSetGifVersion(gif, true);
    const int screen = EGifPutScreenDesc(gif, size.width, size.height, 8, kPreviewBackground, map);
    GifFreeMapObject(map);
    if (screen == GIF_ERROR) return gif->Error;

    // The application block that makes players loop: 0 rounds = for ever.
    static const GifByteType kLoopName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoopForever[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof kLoopName, kLoopName) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof kLoopForever, kLoopForever) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR)
        return gif->Error;

    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Raster& frame = frames[i];
        GraphicsControlBlock control{DISPOSE_DO_NOT, false, gif_delay_centiseconds(delays_ms[i]), NO_TRANSPARENT_COLOR};
        GifByteType control_bytes[4];
        EGifGCBToExtension(&control, control_bytes);
        std::vector<std::uint8_t> pixels = render_preview(frame, style);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof control_bytes, control_bytes) == GIF_ERROR ||
            EGifPutImageDesc(gif, 0, 0, size.width, size.height, false, nullptr) == GIF_ERROR)
            return gif->Error;
        for (int y = 0; y < size.height; ++y)
            if (EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width),
                            size.width) == GIF_ERROR)
                return gif->Error;
    }
    return E_GIF_SUCCEEDED;
}

}  // namespace

int gif_delay_centiseconds(int delay_ms) { return std::clamp(delay_ms / 10 + (delay_ms % 10 >= 5 ? 1 : 0), 1, 0xFFFF); }

EncodedFile encode_preview_gif(std::span<const Raster> frames, const PreviewStyle& style, std::span<const int> delays_ms)
{
    EncodedFile file;
    int error = E_GIF_SUCCEEDED;
    GifFileType* gif = EGifOpen(&file.bytes, append_bytes, &error);
    if (!gif) {
        file.error = "cannot make the GIF file: " + std::string(GifErrorString(error) ? GifErrorString(error) : "giflib failed");
        return file;
    }
    try {
        error = write_frames(gif, frames, style, delays_ms);
    } catch (const std::bad_alloc&) {
        error = E_GIF_ERR_NOT_ENOUGH_MEM;
    }
    int close_error = E_GIF_SUCCEEDED;
    if (EGifCloseFile(gif, &close_error) == GIF_ERROR && error == E_GIF_SUCCEEDED) error = close_error;
    if (error != E_GIF_SUCCEEDED) {
        const char* reason = GifErrorString(error);
        file.bytes.clear();
        file.error = "cannot make the GIF file: " + std::string(reason ? reason : "giflib failed");
    }
    return file;
}

}  // namespace lumetra
