#include <benchmark/benchmark.h>

#include "listing/listing.h"

using namespace lumetra;

static void BM_GenerateListing(benchmark::State& state)
{
    ScreenBuffer picture;
    for (int i = 0; i < kBufferBytes; ++i) picture.bytes[i] = static_cast<std::uint8_t>(i * 37);
    ListingOptions options;
    options.add_file_name = true;
    for (auto _ : state) benchmark::DoNotOptimize(generate_listing(picture, "C:\\Pictures\\logo.chr", options));
}
BENCHMARK(BM_GenerateListing);
