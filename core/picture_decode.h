// Decoding of outside pictures into one portable RGB image, and the way from
// that image to the 1024 display bytes. Every decoder takes the whole file in
// memory and trusts nothing in it: sizes are checked against the limits and
// against the bytes actually present before anything is allocated.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/image_store.h"

namespace lumetra {

// The size a picture is stretched to: the editor's display unless a display
// profile asks for another.
struct PictureSize {
    int width = kDisplayWidth;
    int height = kDisplayHeight;
    bool operator==(const PictureSize&) const = default;
};

// Three bytes R, G, B a pixel, rows from top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    // A 1-bit picture keeps its two palette colours: their blue decides,
    // without the grey rule.
    bool two_colour = false;
    std::vector<std::uint8_t> rgb;
};

struct DecodeLimits {
    std::uint64_t max_pixels = 64'000'000;
    std::uint64_t max_file_bytes = 256u << 20;
    // An animation: its frames, and its canvas pixels counted once a frame
    // (each frame is composed on the whole canvas).
    std::uint64_t max_frames = 10'000;
    std::uint64_t max_animation_pixels = 1u << 30;
};

// A decoded picture, or why there is none (error is then not empty).
struct DecodeResult {
    RgbImage image;
    std::string error;
    bool ok() const { return error.empty(); }
};

// One composed frame of an animation and how long it stays.
struct AnimationFrame {
    RgbImage image;
    int delay_ms = 0;
};

// The frames of an animation, or why there are none (error is then not empty).
struct DecodeAnimationResult {
    std::vector<AnimationFrame> frames;
    std::string error;
    bool ok() const { return error.empty(); }
};

using FileBytes = std::span<const std::uint8_t>;

// The decoder is chosen by the first bytes: "BM" a bitmap, 00 00 01 00 an
// icon, the PNG signature, FF D8 a JPEG, "GIF87a" or "GIF89a" a GIF. The
// extension plays no part.
DecodeResult decode_picture(FileBytes file, const DecodeLimits& limits = {});

DecodeResult decode_bmp(FileBytes file, const DecodeLimits& limits = {});
DecodeResult decode_ico(FileBytes file, const DecodeLimits& limits = {});
DecodeResult decode_png(FileBytes file, const DecodeLimits& limits = {});
DecodeResult decode_jpeg(FileBytes file, const DecodeLimits& limits = {});
// A GIF of one frame; an animation is refused here (its frames come from
// decode_gif_frames).
DecodeResult decode_gif(FileBytes file, const DecodeLimits& limits = {});
// Every frame of a GIF as a browser shows it, each stretched to size as
// stretch_to_display does it; the delays in milliseconds.
DecodeAnimationResult decode_gif_frames(FileBytes file, const DecodeLimits& limits = {}, PictureSize size = {});

// The picture as decode_picture gives it, already stretched to the display
// as stretch_to_display does it; a JPEG is stretched while it is decoded,
// without holding the whole picture. The import takes this way.
DecodeResult decode_picture_for_display(FileBytes file, const DecodeLimits& limits = {});
DecodeResult decode_jpeg_for_display(FileBytes file, const DecodeLimits& limits = {});
// The same stretched to the size of another display.
DecodeResult decode_picture_for_display(FileBytes file, const DecodeLimits& limits, PictureSize size);
DecodeResult decode_jpeg_for_display(FileBytes file, const DecodeLimits& limits, PictureSize size);

// Why width x height pixels cannot be taken (zero sizes, more pixels than the
// limit), or nothing.
std::string check_size(std::uint64_t width, std::uint64_t height, const DecodeLimits& limits);

// Sizes the image for width x height pixels, or says why not: zero sizes,
// more pixels than the limit allows, or no memory for them.
std::string prepare_image(RgbImage& image, std::uint64_t width, std::uint64_t height, const DecodeLimits& limits);

// One source column (or row) and the share of one target column it covers,
// measured in units where a source pixel is `target` long and a target pixel
// `source` long, so that every overlap is a whole number.
struct StretchShare {
    int source;
    int target;
    std::uint64_t weight;
};

// The stretch below fed one source row at a time, top to bottom, so that a
// decoder can stretch as it goes without holding the whole picture.
class DisplayStretch {
public:
    DisplayStretch(int width, int height, PictureSize target = {});  // width and height of the source picture
    void add_row(const std::uint8_t* rgb);  // width x 3 bytes; rows past the height are ignored
    RgbImage finish(bool two_colour = false);

private:
    void flush_columns();

    int width_, height_;
    PictureSize target_;
    int next_row_ = 0;
    std::size_t next_down_ = 0;
    std::vector<StretchShare> across_, down_;
    std::vector<std::uint64_t> sums_;  // target width x height x 3, weight x value
    // The target row being summed down, one of the two by the height.
    std::vector<std::uint32_t> narrow_columns_;
    std::vector<std::uint64_t> wide_columns_;
    int column_target_ = -1;
};

// Area-averaging stretch to exactly 128 x 64 (or size), each axis by its own factor:
// every target pixel is the mean of the source pixels it covers, weighted by
// the covered area, rounded to nearest. Integer arithmetic throughout, so the
// result is the same on every platform.
RgbImage stretch_to_display(const RgbImage& picture, PictureSize size = {});

// Grey level of a colour: (30 R + 53 G + 11 B) div 94.
std::uint8_t grey_level(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// The display picture: stretched when not already 128 x 64, grey rule for
// pictures deeper than 1 bit (a two-colour picture keeps its blue), and a
// pixel lit where that level is below 220.
ScreenBuffer screen_from_picture(const RgbImage& picture);

}  // namespace lumetra
