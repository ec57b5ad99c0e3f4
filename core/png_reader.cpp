// PNG through libpng: every colour type and depth, interlaced or not,
// transparent pixels composed onto white, 16-bit samples rounded to 8.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "core/picture_decode.h"

namespace lumetra {

namespace {

// Deflate cannot pack more than 1032 bytes into one, so compressed data
// shorter than this bound cannot hold the picture: refused before any
// pixel memory is taken.
constexpr std::uint64_t kDeflateRatio = 1032;

struct PngJob {
    FileBytes file;
    std::size_t read_at = 0;
    const DecodeLimits* limits = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t> rgba;  // one row, or the whole picture when interlaced
    std::vector<png_bytep> rows;
    RgbImage image;
    std::string error;
    char library_error[200] = "";  // written inside libpng, where nothing may throw
};

void read_from_memory(png_structp png, png_bytep out, std::size_t count)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (count > job->file.size() - job->read_at) png_error(png, "the file ends too early");
    std::memcpy(out, job->file.data() + job->read_at, count);
    job->read_at += count;
}

void on_error(png_structp png, png_const_charp message)
{
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->library_error, sizeof job->library_error, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

std::uint32_t be32(FileBytes b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | static_cast<std::uint32_t>(b[at + 3]);
}

// Length of all IDAT chunks, walking the chunk list without trusting it.
std::uint64_t compressed_length(FileBytes file)
{
    std::uint64_t total = 0;
    for (std::size_t at = 8; file.size() - at >= 12;) {
        const std::uint64_t length = be32(file, at);
        if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0) total += length;
        if (std::memcmp(file.data() + at + 4, "IEND", 4) == 0 || length > file.size() - at - 12) break;
        at += static_cast<std::size_t>(length) + 12;
    }
    return total;
}

bool allocate(std::vector<std::uint8_t>& buffer, std::uint64_t size)
{
    try {
        buffer.assign(static_cast<std::size_t>(size), 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::uint8_t on_white(std::uint8_t colour, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

void compose_row(const std::uint8_t* rgba, std::uint8_t* rgb, int width)
{
    for (int x = 0; x < width; ++x, rgba += 4, rgb += 3)
        for (int c = 0; c < 3; ++c) rgb[c] = on_white(rgba[c], rgba[3]);
}

// Everything that may end in libpng's longjmp happens here; the job lives in
// the caller's frame, so nothing of ours is left half-built when it does.
bool run(PngJob& job)
{
    png_structp png = job.png;
    png_infop info = job.info;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &job, read_from_memory);
    png_read_info(png, info);

    const std::uint64_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
    job.error = check_size(width, height, *job.limits);
    if (!job.error.empty()) return false;
    const int channels = png_get_channels(png, info);
    const std::uint64_t packed = (width * height * static_cast<std::uint64_t>(channels * depth) + 7) / 8;
    if (compressed_length(job.file) * kDeflateRatio + 4096 < packed) {
        job.error = "the compressed data is too short for the picture";
        return false;
    }

    png_set_expand(png);  // palette to RGB, small greys to 8 bits, tRNS to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width * 4) {
        job.error = "unexpected row layout";
        return false;
    }

    job.error = prepare_image(job.image, width, height, *job.limits);
    if (!job.error.empty()) return false;
    const int w = static_cast<int>(width);
    if (passes == 1) {
        if (!allocate(job.rgba, width * 4)) {
            job.error = "not enough memory for the picture";
            return false;
        }
        for (std::uint64_t y = 0; y < height; ++y) {
            png_read_row(png, job.rgba.data(), nullptr);
            compose_row(job.rgba.data(), job.image.rgb.data() + y * width * 3, w);
        }
    } else {
        if (!allocate(job.rgba, width * height * 4)) {
            job.error = "not enough memory for the picture";
            return false;
        }
        try {
            job.rows.resize(static_cast<std::size_t>(height));
        } catch (const std::bad_alloc&) {
            job.error = "not enough memory for the picture";
            return false;
        }
        for (std::uint64_t y = 0; y < height; ++y) job.rows[y] = job.rgba.data() + y * width * 4;
        png_read_image(png, job.rows.data());
        for (std::uint64_t y = 0; y < height; ++y)
            compose_row(job.rows[y], job.image.rgb.data() + y * width * 3, w);
    }
    png_read_end(png, nullptr);  // a file cut off after its pixels is still cut off
    return true;
}

}  // namespace

DecodeResult decode_png(FileBytes file, const DecodeLimits& limits)
{
    DecodeResult result;
    if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) {
        result.error = "not a PNG file";
        return result;
    }
    PngJob job;
    job.file = file;
    job.limits = &limits;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, on_error, on_warning);
    if (job.png) job.info = png_create_info_struct(job.png);
    if (!job.png || !job.info) {
        png_destroy_read_struct(&job.png, nullptr, nullptr);
        result.error = "not enough memory for the PNG decoder";
        return result;
    }
    // Only the pixels matter: every side chunk but tRNS is skipped unread, so
    // a text chunk claiming 2 GB cannot make libpng allocate it.
    png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(job.png, 1u << 20);
    png_set_user_limits(job.png, 1u << 24, 1u << 24);
    bool done = false;
    try {
        done = run(job);
    } catch (const std::bad_alloc&) {
        job.error = "not enough memory for the picture";
    }
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    if (!done) {
        if (job.error.empty()) job.error = job.library_error[0] ? job.library_error : "the PNG file is damaged";
        result.error = job.error;
        return result;
    }
    result.image = std::move(job.image);
    return result;
}

}  // namespace lumetra
