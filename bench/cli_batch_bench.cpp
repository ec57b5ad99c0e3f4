#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "core/file_io.h"

using namespace lumetra;

// lumetra-cli listing --out-dir over .chr pictures in one process: reading,
// the listing, Windows-1251 and the safe write of every output.
static void BM_ListingBatch(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const auto folder = std::filesystem::temp_directory_path() / "lumetra-bench-batch";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "art");
    cli::Args args = {"--out-dir", (folder / "asm").string()};
    if (state.range(1) == 1) args.insert(args.begin(), {"--format", "c"});
    for (int i = 0; i < count; ++i) {
        std::string bytes(kBufferBytes, '\0');
        for (int k = 0; k < kBufferBytes; ++k) bytes[static_cast<std::size_t>(k)] = static_cast<char>(k * 37 + i);
        auto path = folder / "art" / ("picture" + std::to_string(i) + ".chr");
        write_file_atomically(path, bytes);
        args.push_back(path.string());
    }
    for (auto _ : state)
        if (cli::run_listing(args) != 0) state.SkipWithError("the listing run failed");
    state.SetItemsProcessed(state.iterations() * count);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ListingBatch)->Args({200, 0})->Args({200, 1})->ArgNames({"pictures", "c"})->Unit(benchmark::kMillisecond);
