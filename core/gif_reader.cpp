// GIF through giflib's record-by-record reader, so that every frame's size is
// checked before a byte is allocated for it (giflib's own whole-file read
// would allocate whatever a frame claims). Frames are composed as a browser
// shows them: on a transparent canvas, each drawn over the result before at
// its place, its transparent colour left out, then disposed of as it asks.
// Transparent pixels come out white, as in a PNG.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "core/picture_decode.h"

namespace lumetra {

namespace {

// What a frame's graphic control block asks for after it is shown.
enum class Disposal { Keep, Background, Previous };

struct FrameControl {
    Disposal disposal = Disposal::Keep;
    int delay_ms = 0;
    int transparent = -1;  // palette index, or none
};

// Four bytes R, G, B, A a canvas pixel; A is 0 (nothing drawn yet) or 255.
using Canvas = std::vector<std::uint8_t>;

struct GifJob {
    FileBytes file;
    std::size_t read_at = 0;
    const DecodeLimits* limits = nullptr;
    std::optional<PictureSize> size;  // stretched to it, or the canvas's own size
    std::size_t frame_limit = 0;      // more frames than this are refused
    GifFileType* gif = nullptr;
    Canvas canvas;
    Canvas saved;  // the frame's rectangle before it was drawn, for Disposal::Previous
    std::vector<GifPixelType> line;
    std::vector<std::uint8_t> row;  // one RGB row of the composed frame
    FrameControl control;
    std::vector<AnimationFrame> frames;
    std::string error;
};

int read_from_memory(GifFileType* gif, GifByteType* out, int count)
{
    auto* job = static_cast<GifJob*>(gif->UserData);
    const std::size_t taken = std::min(static_cast<std::size_t>(std::max(count, 0)), job->file.size() - job->read_at);
    std::memcpy(out, job->file.data() + job->read_at, taken);
    job->read_at += taken;
    return static_cast<int>(taken);
}

FrameControl read_control(const GifByteType* block)
{
    FrameControl control;
    if (block[0] < 4) return control;
    const int packed = block[1];
    switch ((packed >> 2) & 7) {
    case 2: control.disposal = Disposal::Background; break;
    case 3: control.disposal = Disposal::Previous; break;
    default: control.disposal = Disposal::Keep; break;  // 0, 1 and the undefined 4..7
    }
    control.delay_ms = (block[2] | block[3] << 8) * 10;
    if (packed & 1) control.transparent = block[4];
    return control;
}

bool read_extension(GifJob& job)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(job.gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block) job.control = read_control(block);
    while (block)
        if (DGifGetExtensionNext(job.gif, &block) == GIF_ERROR) return false;
    return true;
}

// Rows of an interlaced frame come in four passes: every 8th from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1.
struct InterlacePass {
    int first;
    int step;
};
constexpr InterlacePass kInterlacePasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

// The rows of the frame in the order the file holds them.
std::vector<int> row_order(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    for (const InterlacePass& pass : kInterlacePasses)
        for (int y = pass.first; y < height; y += pass.step) rows.push_back(y);
    return rows;
}

std::size_t canvas_at(const GifJob& job, int x, int y)
{
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(job.gif->SWidth) + static_cast<std::size_t>(x)) * 4;
}

// The part of the frame that lies on the canvas.
struct Area {
    int left, top, right, bottom;
};

Area visible_area(const GifJob& job, const GifImageDesc& image)
{
    return {std::min(image.Left, job.gif->SWidth), std::min(image.Top, job.gif->SHeight),
            std::min(image.Left + image.Width, job.gif->SWidth), std::min(image.Top + image.Height, job.gif->SHeight)};
}

// The rectangle's rows, packed, into saved; and back.
void save_area(const GifJob& job, const Area& area, Canvas& saved)
{
    const std::size_t width = static_cast<std::size_t>(area.right - area.left) * 4;
    saved.resize(width * static_cast<std::size_t>(area.bottom - area.top));
    if (saved.empty()) return;  // a frame wholly off the canvas
    for (int y = area.top; y < area.bottom; ++y)
        std::memcpy(saved.data() + static_cast<std::size_t>(y - area.top) * width,
                    job.canvas.data() + canvas_at(job, area.left, y), width);
}

void restore_area(GifJob& job, const Area& area, const Canvas& saved)
{
    const std::size_t width = static_cast<std::size_t>(area.right - area.left) * 4;
    if (saved.empty()) return;
    for (int y = area.top; y < area.bottom; ++y)
        std::memcpy(job.canvas.data() + canvas_at(job, area.left, y),
                    saved.data() + static_cast<std::size_t>(y - area.top) * width, width);
}

// The canvas as it is now, on white, stretched or at its own size.
bool emit_frame(GifJob& job)
{
    const int width = job.gif->SWidth, height = job.gif->SHeight;
    AnimationFrame frame;
    frame.delay_ms = job.control.delay_ms;
    std::optional<DisplayStretch> stretch;
    if (job.size) {
        stretch.emplace(width, height, *job.size);
    } else {
        job.error = prepare_image(frame.image, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height),
                                  *job.limits);
        if (!job.error.empty()) return false;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* pixel = job.canvas.data() + canvas_at(job, 0, y);
        std::uint8_t* out = stretch ? job.row.data() : frame.image.rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x, pixel += 4, out += 3)
            for (int c = 0; c < 3; ++c) out[c] = pixel[3] ? pixel[c] : 255;
        if (stretch) stretch->add_row(job.row.data());
    }
    if (stretch) frame.image = stretch->finish();
    job.frames.push_back(std::move(frame));
    return true;
}

bool read_frame(GifJob& job)
{
    if (DGifGetImageDesc(job.gif) == GIF_ERROR) return false;
    const GifImageDesc& image = job.gif->Image;
    if (job.frames.size() >= job.frame_limit) {
        job.error = job.frame_limit == 1 ? "an animated GIF holds several pictures, not one"
                                         : "the GIF has more frames than " + std::to_string(job.frame_limit);
        return false;
    }
    // Every frame costs a pass over the whole canvas.
    const std::uint64_t canvas_pixels =
        static_cast<std::uint64_t>(job.gif->SWidth) * static_cast<std::uint64_t>(job.gif->SHeight);
    if ((job.frames.size() + 1) * canvas_pixels > job.limits->max_animation_pixels) {
        job.error = "the animation is too large";
        return false;
    }
    if (image.Width <= 0 || image.Height <= 0 || image.Left < 0 || image.Top < 0) {
        job.error = "a frame of the GIF has no size";
        return false;
    }
    const ColorMapObject* palette = image.ColorMap ? image.ColorMap : job.gif->SColorMap;
    if (!palette || !palette->Colors || palette->ColorCount <= 0) {
        job.error = "a frame of the GIF has no palette";
        return false;
    }
    const Area area = visible_area(job, image);
    if (job.control.disposal == Disposal::Previous) save_area(job, area, job.saved);
    job.line.resize(static_cast<std::size_t>(image.Width));
    for (int y : row_order(image.Height, image.Interlace)) {
        if (DGifGetLine(job.gif, job.line.data(), image.Width) == GIF_ERROR) return false;
        if (image.Top + y >= job.gif->SHeight) continue;
        std::uint8_t* pixel = job.canvas.data() + canvas_at(job, area.left, image.Top + y);
        for (int x = 0; x < area.right - area.left; ++x, pixel += 4) {
            const int index = job.line[static_cast<std::size_t>(x)];
            if (index == job.control.transparent) continue;
            // An index past the palette is black.
            static constexpr GifColorType kBlack{0, 0, 0};
            const GifColorType& colour = index < palette->ColorCount ? palette->Colors[index] : kBlack;
            pixel[0] = colour.Red;
            pixel[1] = colour.Green;
            pixel[2] = colour.Blue;
            pixel[3] = 255;
        }
    }
    if (!emit_frame(job)) return false;
    switch (job.control.disposal) {
    case Disposal::Keep: break;
    case Disposal::Background:
        // Browsers clear to transparent, not to the background colour.
        for (int y = area.top; y < area.bottom; ++y)
            std::fill_n(job.canvas.begin() + static_cast<std::ptrdiff_t>(canvas_at(job, area.left, y)),
                        (area.right - area.left) * 4, 0);
        break;
    case Disposal::Previous: restore_area(job, area, job.saved); break;
    }
    // The control block governs only the frame after it.
    job.control = {};
    return true;
}

bool run(GifJob& job)
{
    const std::uint64_t width = static_cast<std::uint64_t>(std::max(job.gif->SWidth, 0));
    const std::uint64_t height = static_cast<std::uint64_t>(std::max(job.gif->SHeight, 0));
    job.error = check_size(width, height, *job.limits);
    if (!job.error.empty()) return false;
    job.canvas.assign(width * height * 4, 0);
    job.row.resize(width * 3);
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(job.gif, &record) == GIF_ERROR) return false;
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
            if (!read_frame(job)) return false;
            break;
        case EXTENSION_RECORD_TYPE:
            if (!read_extension(job)) return false;
            break;
        case TERMINATE_RECORD_TYPE:
            if (job.frames.empty()) job.error = "the GIF has no frame";
            return job.error.empty();
        default: return false;
        }
    }
}

DecodeAnimationResult decode(FileBytes file, const DecodeLimits& limits, std::optional<PictureSize> size,
                             std::size_t frame_limit)
{
    DecodeAnimationResult result;
    if (file.size() < 6 || (std::memcmp(file.data(), "GIF87a", 6) != 0 && std::memcmp(file.data(), "GIF89a", 6) != 0)) {
        result.error = "not a GIF file";
        return result;
    }
    GifJob job;
    job.file = file;
    job.limits = &limits;
    job.size = size;
    job.frame_limit = frame_limit;
    int code = 0;
    job.gif = DGifOpen(&job, read_from_memory, &code);
    if (!job.gif) {
        result.error = code == D_GIF_ERR_NOT_ENOUGH_MEM ? "not enough memory for the GIF decoder" : "the GIF file is damaged";
        return result;
    }
    bool done = false;
    try {
        done = run(job);
    } catch (const std::bad_alloc&) {
        job.error = "not enough memory for the picture";
    }
    DGifCloseFile(job.gif, &code);
    if (!done) {
        result.error = job.error.empty() ? "the GIF file is damaged" : job.error;
        return result;
    }
    result.frames = std::move(job.frames);
    return result;
}

}  // namespace

DecodeAnimationResult decode_gif_frames(FileBytes file, const DecodeLimits& limits, PictureSize size)
{
    return decode(file, limits, size, static_cast<std::size_t>(limits.max_frames));
}

DecodeResult decode_gif(FileBytes file, const DecodeLimits& limits)
{
    DecodeAnimationResult frames = decode(file, limits, std::nullopt, 1);
    DecodeResult result;
    result.error = std::move(frames.error);
    if (result.ok()) result.image = std::move(frames.frames.front().image);
    return result;
}

}  // namespace lumetra
