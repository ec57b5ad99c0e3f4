// JPEG through libjpeg: baseline, progressive, greyscale, RGB and CMYK.
// Damaged data that libjpeg would only warn about (cut-off files, bad
// Huffman codes) is an error here: no half-grey pictures.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <csetjmp>
#include <new>
#include <optional>

#include <jpeglib.h>
#include <jerror.h>

#include "core/picture_decode.h"

namespace lumetra {

namespace {

// More scans than any real progressive file has; a hostile file could
// otherwise keep the decoder busy for a long time.
constexpr int kMaxScans = 500;

struct JpegJob {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf escape{};
    FileBytes file;
    const DecodeLimits* limits = nullptr;
    std::vector<std::uint8_t> row;
    RgbImage image;
    // Stretched to the display as the rows come, instead of kept whole.
    bool for_display = false;
    PictureSize size;
    std::optional<DisplayStretch> stretch;
    std::vector<std::uint8_t> converted;  // a CMYK row as RGB
    std::string error;
    char library_error[JMSG_LENGTH_MAX] = "";  // written inside libjpeg, where nothing may throw
};

JpegJob& job_of(j_common_ptr cinfo) { return *static_cast<JpegJob*>(cinfo->client_data); }

void on_error(j_common_ptr cinfo)
{
    JpegJob& job = job_of(cinfo);
    if (!job.library_error[0]) (*cinfo->err->format_message)(cinfo, job.library_error);
    std::longjmp(job.escape, 1);
}

void on_message(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;  // trace messages
    switch (cinfo->err->msg_code) {
    case JWRN_ADOBE_XFORM:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_BOGUS_ICC:
        return;  // harmless: the pixels are still all there
    default:
        on_error(cinfo);
    }
}

void on_progress(j_common_ptr cinfo)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans) {
        std::snprintf(job_of(cinfo).library_error, JMSG_LENGTH_MAX, "more than %d scans", kMaxScans);
        std::longjmp(job_of(cinfo).escape, 1);
    }
}

bool allocate(std::vector<std::uint8_t>& buffer, std::size_t size)
{
    try {
        buffer.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// CMYK as Adobe's inverted inks, as every CMYK JPEG writer stores them.
void cmyk_to_rgb(const std::uint8_t* cmyk, std::uint8_t* rgb, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x) {
        const unsigned k = cmyk[x * 4 + 3];
        for (int c = 0; c < 3; ++c) rgb[x * 3 + c] = static_cast<std::uint8_t>((cmyk[x * 4 + c] * k + 127) / 255);
    }
}

// The rows a few at a time into the stretch: no buffer of the whole picture.
// Called inside run(), after jpeg_start_decompress.
bool read_stretched(JpegJob& job)
{
    j_decompress_ptr cinfo = &job.cinfo;
    job.error = check_size(cinfo->output_width, cinfo->output_height, *job.limits);
    if (!job.error.empty()) return false;
    constexpr std::size_t kRows = 16;
    const std::size_t width = cinfo->output_width;
    const std::size_t stride = width * static_cast<std::size_t>(cinfo->output_components);
    if (!allocate(job.row, stride * kRows) || (cinfo->output_components == 4 && !allocate(job.converted, width * 3))) {
        job.error = "not enough memory for the picture";
        return false;
    }
    job.stretch.emplace(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height), job.size);
    JSAMPROW rows[kRows];
    for (std::size_t i = 0; i < kRows; ++i) rows[i] = job.row.data() + i * stride;
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION got = jpeg_read_scanlines(cinfo, rows, kRows);
        if (got == 0) {
            job.error = "the JPEG data ends early";
            return false;
        }
        for (JDIMENSION i = 0; i < got; ++i) {
            if (cinfo->output_components == 4) {
                cmyk_to_rgb(rows[i], job.converted.data(), width);
                job.stretch->add_row(job.converted.data());
            } else {
                job.stretch->add_row(rows[i]);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

// Every libjpeg call that may end in the longjmp happens here; the job lives
// in the caller's frame, which destroys the decoder either way.
bool run(JpegJob& job)
{
    j_decompress_ptr cinfo = &job.cinfo;
    if (setjmp(job.escape)) return false;
    jpeg_create_decompress(cinfo);
    cinfo->client_data = &job;
    cinfo->progress = &job.progress;
    jpeg_mem_src(cinfo, job.file.data(), static_cast<unsigned long>(job.file.size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) {
        job.error = "the JPEG file holds no picture";
        return false;
    }
    job.error = check_size(cinfo->image_width, cinfo->image_height, *job.limits);
    if (!job.error.empty()) return false;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // Progressive pictures keep all coefficients in memory: a few bytes a pixel.
    const std::uint64_t memory = std::min<std::uint64_t>(job.limits->max_pixels * 8 + (16 << 20), LONG_MAX);
    cinfo->mem->max_memory_to_use = static_cast<long>(memory);
    jpeg_start_decompress(cinfo);
    const int channels = cinfo->output_components;
    if (channels != (cmyk ? 4 : 3)) {
        job.error = "unexpected colour layout";
        return false;
    }
    if (job.for_display) return read_stretched(job);
    job.error = prepare_image(job.image, cinfo->output_width, cinfo->output_height, *job.limits);
    if (!job.error.empty()) return false;
    if (!allocate(job.row, static_cast<std::size_t>(cinfo->output_width) * 4)) {
        job.error = "not enough memory for the picture";
        return false;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        std::uint8_t* out = job.image.rgb.data() + static_cast<std::size_t>(cinfo->output_scanline) * cinfo->output_width * 3;
        JSAMPROW row = cmyk ? job.row.data() : out;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
            job.error = "the JPEG data ends early";
            return false;
        }
        if (cmyk) cmyk_to_rgb(row, out, cinfo->output_width);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

namespace {

DecodeResult decode(FileBytes file, const DecodeLimits& limits, bool for_display, PictureSize size)
{
    DecodeResult result;
    if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) {
        result.error = "not a JPEG file";
        return result;
    }
    JpegJob job;
    job.file = file;
    job.limits = &limits;
    job.for_display = for_display;
    job.size = size;
    job.cinfo.err = jpeg_std_error(&job.errors);
    job.errors.error_exit = on_error;
    job.errors.emit_message = on_message;
    job.progress.progress_monitor = on_progress;
    job.cinfo.client_data = &job;
    bool done = false;
    try {
        done = run(job);
    } catch (const std::bad_alloc&) {
        job.error = "not enough memory for the picture";
    }
    jpeg_destroy_decompress(&job.cinfo);
    if (!done) {
        if (job.error.empty()) job.error = job.library_error[0] ? job.library_error : "the JPEG file is damaged";
        result.error = job.error;
        return result;
    }
    result.image = for_display ? job.stretch->finish() : std::move(job.image);
    return result;
}

}  // namespace

DecodeResult decode_jpeg(FileBytes file, const DecodeLimits& limits) { return decode(file, limits, false, {}); }

DecodeResult decode_jpeg_for_display(FileBytes file, const DecodeLimits& limits) { return decode(file, limits, true, {}); }

DecodeResult decode_jpeg_for_display(FileBytes file, const DecodeLimits& limits, PictureSize size)
{
    return decode(file, limits, true, size);
}

}  // namespace lumetra
