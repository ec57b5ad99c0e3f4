#include <benchmark/benchmark.h>

#include "listing/skip_list.h"

using namespace lumetra;

namespace {

// Nine pictures that agree in most places, with differences scattered so
// that runs of every length have to be absorbed.
ImageStore nine_pictures()
{
    ImageStore store;
    for (int b = 0; b < kScanBuffers; ++b)
        for (int i = 0; i < kBufferBytes; ++i)
            store.buffers[b].bytes[i] = static_cast<std::uint8_t>((i * 37) ^ (i % (11 + b) == 0 ? b : 0));
    return store;
}

}  // namespace

static void BM_ScanRepeatedBytes(benchmark::State& state)
{
    const ImageStore store = nine_pictures();
    ScanChoice ticked;
    ticked.fill(true);
    for (auto _ : state) benchmark::DoNotOptimize(scan_repeated_bytes(store, ticked, 6));
}
BENCHMARK(BM_ScanRepeatedBytes);

static void BM_BuildSkipList(benchmark::State& state)
{
    ScanChoice ticked;
    ticked.fill(true);
    const ScreenBuffer map = scan_repeated_bytes(nine_pictures(), ticked, 6);
    const std::vector<std::string> names(9, "C:\\Картинки\\logo.chr");
    for (auto _ : state) benchmark::DoNotOptimize(build_skip_list(map, names, "6"));
}
BENCHMARK(BM_BuildSkipList);

static void BM_SkipListAsRtf(benchmark::State& state)
{
    ScanChoice ticked;
    ticked.fill(true);
    const StyledText list = build_skip_list(scan_repeated_bytes(nine_pictures(), ticked, 6), {}, "6");
    for (auto _ : state) benchmark::DoNotOptimize(styled_text_as_rtf(list));
}
BENCHMARK(BM_SkipListAsRtf);
