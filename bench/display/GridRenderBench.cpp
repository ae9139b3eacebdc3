// Speed of the grid view: a full rebuild of a 4 x 4 grid of 64-channel boards at 1920 x 1000,
// the verdict of 16 boards with Pearson, a tick in which one board's counts changed, and the
// first frame at a new size.
#include "display/BoardGrid.h"
#include "display/GridRenderer.h"
#include "display/Verdict.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace display;

// Every board: 64 Open channels with counts around their references, all within thresholds
// (every slot shows both numbers), the Pearson check on.
void fillBoards(BoardGrid& grid, int sweep)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            BoardPanel& p = grid.panel(r, c);
            p.setChannelCount(64);
            p.setViewRange(8000, 0);
            p.setPearsonCheck(true, 0.5);
            for (int k = 0; k < kChannels; ++k) {
                const int ref = 3000 + 20 * k + 100 * r + 50 * c;
                p.reference[k] = static_cast<std::uint16_t>(ref);
                p.thresholdHigh[k] = static_cast<std::uint16_t>(ref + 800);
                p.thresholdLow[k] = static_cast<std::uint16_t>(ref - 800);
                p.raw[k] = static_cast<std::uint16_t>(ref + (k * 37 + sweep * 11) % 200 - 100);
            }
        }
}

void changeOneBoard(BoardGrid& grid, int sweep)
{
    BoardPanel& p = grid.panel(sweep / 4 % 4, sweep % 4);
    for (int k = 0; k < kChannels; ++k)
        p.raw[k] = static_cast<std::uint16_t>(p.reference[k] + (k * 37 + sweep * 11) % 200 - 100);
}

void BM_FullRebuild_4x4x64_1920x1000(benchmark::State& state)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    fillBoards(grid, 0);
    GridRenderer renderer;
    renderer.setIncremental(false);
    renderer.render(grid, {1920, 1000}); // glyphs are made once per size
    int sweep = 0;
    for ([[maybe_unused]] auto&& _ : state) {
        changeOneBoard(grid, ++sweep);
        benchmark::DoNotOptimize(renderer.render(grid, {1920, 1000}).constBits());
    }
    state.counters["failCount"] = grid.failCount.load();
    if (const char* path = std::getenv("GRID_BENCH_SAVE"))
        renderer.frame().save(QString::fromLocal8Bit(path));
}
BENCHMARK(BM_FullRebuild_4x4x64_1920x1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_OneBoardChangedTick_4x4x64_1920x1000(benchmark::State& state)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    fillBoards(grid, 0);
    GridRenderer renderer;
    renderer.render(grid, {1920, 1000});
    int sweep = 0;
    for ([[maybe_unused]] auto&& _ : state) {
        changeOneBoard(grid, ++sweep);
        benchmark::DoNotOptimize(renderer.render(grid, {1920, 1000}).constBits());
    }
    state.counters["redrawn"] = renderer.boardsRedrawnLastTick();
}
BENCHMARK(BM_OneBoardChangedTick_4x4x64_1920x1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The first frame at a size never seen: every face and the whole-grid overlay are made new (the
// glyph cache holds only a few sizes, so a window dragged through many sizes pays this often).
void BM_FirstPaintAtANewSize_4x4x64(benchmark::State& state)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    fillBoards(grid, 0);
    int step = 0;
    for ([[maybe_unused]] auto&& _ : state) {
        ++step;
        GridRenderer renderer; // nothing made yet: the worst case of a new size
        const QSize size(1200 + 7 * (step % 100), 700 + 5 * (step % 60));
        benchmark::DoNotOptimize(renderer.render(grid, size).constBits());
    }
}
BENCHMARK(BM_FirstPaintAtANewSize_4x4x64)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// What the repaint does for the verdict: per board the Pearson coefficient and the judgement.
void BM_Verdict16BoardsWithPearson(benchmark::State& state)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    fillBoards(grid, 0);
    for ([[maybe_unused]] auto&& _ : state) {
        int failCount = 0;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                BoardPanel& p = grid.panel(r, c);
                const BoardSnapshot s = p.snapshot();
                const double pearson = pearsonCoefficient(s);
                p.pearson.store(pearson, std::memory_order_relaxed);
                failCount += boardVerdict(s, pearson) == BoardVerdict::Fail ? 1 : 0;
            }
        grid.failCount.store(failCount, std::memory_order_relaxed);
        benchmark::DoNotOptimize(failCount);
    }
}
BENCHMARK(BM_Verdict16BoardsWithPearson)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The same through the grid's own evaluation (reads the stored coefficients).
void BM_EvaluateVerdicts16Boards(benchmark::State& state)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    fillBoards(grid, 0);
    for ([[maybe_unused]] auto&& _ : state)
        benchmark::DoNotOptimize(evaluateVerdicts(grid).failCount);
}
BENCHMARK(BM_EvaluateVerdicts16Boards)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts need it
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
