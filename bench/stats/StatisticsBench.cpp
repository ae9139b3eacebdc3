#include "stats/GridStatistics.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>

namespace {

// One acquisition cycle of a full grid: 16 boards of 64 channels pushed into their windows
// (default K = 50, a 300-cycle trend kept). Target: at most 50 us per cycle.
void BM_UpdateFullGridOneCycle(benchmark::State& state)
{
    stats::GridStatistics grid;
    std::mt19937 random(1);
    std::array<std::array<std::uint16_t, 64>, 16> cycle{};
    for (auto& board : cycle)
        for (auto& count : board)
            count = static_cast<std::uint16_t>(3000 + random() % 400);
    for ([[maybe_unused]] auto&& _ : state) {
        for (int b = 0; b < 16; ++b)
            grid.push(b / 4, b % 4, cycle[static_cast<std::size_t>(b)]);
        benchmark::ClobberMemory();
    }
    state.counters["channels"] = 16 * 64;
}
BENCHMARK(BM_UpdateFullGridOneCycle)->Unit(benchmark::kMicrosecond);

// What a monitor refresh reads: the figures of one board of 64 channels.
void BM_SnapshotOneBoard(benchmark::State& state)
{
    stats::GridStatistics grid;
    std::array<std::uint16_t, 64> counts{};
    for (int cycle = 0; cycle < 400; ++cycle) {
        counts.fill(static_cast<std::uint16_t>(3000 + cycle % 17));
        grid.push(0, 0, counts);
    }
    for ([[maybe_unused]] auto&& _ : state)
        benchmark::DoNotOptimize(grid.board(0, 0).snapshot());
}
BENCHMARK(BM_SnapshotOneBoard)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
