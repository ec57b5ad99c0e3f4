// Import of a camera-sized JPEG and of a display-sized PNG, file reading
// included, as the editor's open does it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

#include "core/file_io.h"
#include "core/picture_import.h"

using namespace lumetra;

namespace {

// A 4000 x 3000 photo-like JPEG (smooth shading with some detail, 4:2:0,
// quality 90), written once.
std::filesystem::path camera_jpeg()
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("lumetra-bench-" + std::to_string(::getpid()) + ".jpg");
    if (std::filesystem::exists(path)) return path;
    const int width = 4000, height = 3000;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(width * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<unsigned char>(x * 255 / width);
            row[x * 3 + 1] = static_cast<unsigned char>(y * 255 / height);
            row[x * 3 + 2] = static_cast<unsigned char>((x ^ y) & 0x3F ? 200 : 40);
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out), static_cast<std::streamsize>(size));
    std::free(out);
    jpeg_destroy_compress(&cinfo);
    std::atexit([] { std::filesystem::remove(path); });
    return path;
}

void import(benchmark::State& state, const std::filesystem::path& path)
{
    ScreenBuffer screen;
    for (auto _ : state) {
        if (!import_picture(path, screen).ok) state.SkipWithError("import failed");
        benchmark::DoNotOptimize(screen);
    }
}

}  // namespace

static void BM_ImportJpeg4000x3000(benchmark::State& state) { import(state, camera_jpeg()); }
BENCHMARK(BM_ImportJpeg4000x3000)->Unit(benchmark::kMillisecond);

// The yardstick of the import above: the same file decoded whole and kept,
// as libjpeg alone would give it, without the stretch to the display.
static void BM_DecodeJpeg4000x3000Whole(benchmark::State& state)
{
    const std::string bytes = read_file_prefix(camera_jpeg(), 1 << 26).value_or("");
    const FileBytes file(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    for (auto _ : state) {
        DecodeResult decoded = decode_jpeg(file);
        if (!decoded.ok()) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DecodeJpeg4000x3000Whole)->Unit(benchmark::kMillisecond);

static void BM_ImportPng128x64(benchmark::State& state)
{
    import(state, std::filesystem::path(LUMETRA_PICTURES) / "pattern-png-rgb.png");
}
BENCHMARK(BM_ImportPng128x64)->Unit(benchmark::kMicrosecond);
