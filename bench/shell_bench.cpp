// The screen view on the headless backend: what the shell itself spends on a
// full repaint of the 128 cell images and on one hover poll.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "app/app.h"
#include "app/startup.h"
#include "app/views/screen_view.h"
#include "platform/headless/headless_test.h"

using namespace lumetra;

namespace {

void start(App& app)
{
    headless::reset();
    if (!start_up(app, {})) throw std::runtime_error("start-up failed");
    // A busy picture: every cell has some squares lit.
    for (int i = 0; i < kBufferBytes; ++i) app.store.buffers[0].bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
}

void BM_RepaintAllCells(benchmark::State& state)
{
    App app;
    start(app);
    for (auto _ : state) paint_all_cells(app, 1);
    headless::discard();
}
BENCHMARK(BM_RepaintAllCells)->Unit(benchmark::kMicrosecond);

// The pointer moving from one cell to the next: two cells repainted and the
// status line written, the costliest poll.
void BM_HoverPollMovingCell(benchmark::State& state)
{
    App app;
    start(app);
    int step = 0;
    for (auto _ : state) {
        headless::point_at(kFirstCellImage + 100 + (step++ & 1), 5, 5);
        hover_poll(app);
    }
    headless::discard();
}
BENCHMARK(BM_HoverPollMovingCell)->Unit(benchmark::kMicrosecond);

// The pointer resting on the last cell: the whole search, nothing repainted.
void BM_HoverPollResting(benchmark::State& state)
{
    App app;
    start(app);
    headless::point_at(kFirstCellImage + 127, 5, 5);
    for (auto _ : state) hover_poll(app);
    headless::discard();
}
BENCHMARK(BM_HoverPollResting)->Unit(benchmark::kMicrosecond);

}  // namespace
