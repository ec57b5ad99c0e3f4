// One picture to one display's output in process: the layout's bytes and the
// C array text, for every display and layout (the budget is 20 us).
#include <benchmark/benchmark.h>

#include <random>

#include "display/display_tables.h"

using namespace lumetra;

static void BM_DisplayOutput(benchmark::State& state)
{
    const DisplayProfile& display = display_profiles()[static_cast<std::size_t>(state.range(0))];
    const auto layout = static_cast<Layout>(state.range(1));
    Raster picture(display.width, display.height);
    std::mt19937 random(1);
    for (auto& pixel : picture.pixels) pixel = static_cast<std::uint8_t>(random() & 1);
    const auto runs = layout_runs(display, layout, PageOrder::ByController);
    for (auto _ : state) {
        const auto bytes = layout_bytes(display, layout, PageOrder::ByController, picture);
        benchmark::DoNotOptimize(generate_table_c_array(bytes, runs, display.note, "logo"));
    }
    state.SetLabel(std::string(display.name) + " " + layout_name(layout));
}
BENCHMARK(BM_DisplayOutput)->ArgsProduct({benchmark::CreateDenseRange(0, 7, 1), benchmark::CreateDenseRange(0, 3, 1)})->Unit(benchmark::kMicrosecond);

// The bytes alone, without the text.
static void BM_DisplayBytes(benchmark::State& state)
{
    const DisplayProfile& display = display_profiles()[static_cast<std::size_t>(state.range(0))];
    const auto layout = static_cast<Layout>(state.range(1));
    Raster picture(display.width, display.height);
    for (auto _ : state) benchmark::DoNotOptimize(layout_bytes(display, layout, PageOrder::ByController, picture));
    state.SetLabel(std::string(display.name) + " " + layout_name(layout));
}
BENCHMARK(BM_DisplayBytes)->ArgsProduct({{0, 1}, benchmark::CreateDenseRange(0, 3, 1)})->Unit(benchmark::kMicrosecond);
