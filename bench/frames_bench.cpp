#include <benchmark/benchmark.h>

#include <random>

#include "display/frames.h"
#include "listing/listing.h"

using namespace lumetra;

namespace {

constexpr int kFrames = 100;

// 100 pictures of 128 x 64: each changes a tenth of the pixels of the one
// before (Many), or a small square moves across a fixed noise (Few).
enum class Changes { Few, Many };

std::vector<Raster> pictures(Changes changes)
{
    std::mt19937 random(7);
    Raster picture(128, 64);
    for (auto& pixel : picture.pixels) pixel = static_cast<std::uint8_t>(random() & 1);
    std::vector<Raster> out;
    for (int i = 0; i < kFrames; ++i) {
        Raster next = picture;
        if (changes == Changes::Many) {
            for (auto& pixel : next.pixels)
                if (random() % 10 == 0) pixel ^= 1;
        } else {
            for (int y = 20; y < 28; ++y)
                for (int x = i; x < i + 8; ++x) next.set(x % 128, y, true);
        }
        out.push_back(next);
        if (changes == Changes::Many) picture = next;
    }
    return out;
}

}  // namespace

// The pictures to the Db listing of their frame table, as lumetra-cli frames
// makes it once the pictures are read.
static void BM_FrameTable(benchmark::State& state)
{
    const std::vector<Raster> frames = pictures(static_cast<Changes>(state.range(0)));
    const std::vector<int> delays = {200};
    ListingOptions options;
    options.directive = Directive::Db;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<Frame> table = make_frames(frames, delays, default_display(), 2);
        const std::string text = join_view_lines(frame_table_listing(table, default_display(), options));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["listing_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FrameTable)->Arg(static_cast<int>(Changes::Few))->Arg(static_cast<int>(Changes::Many))->Unit(benchmark::kMillisecond);
