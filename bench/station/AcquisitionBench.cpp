// One acquisition cycle over a 4 x 4 grid of 64-channel boards on a simulated head that answers
// at once: the fixed pauses of the three control-block changes (60 ms) plus the exchanges.
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "sim/SimBus.h"
#include "station/AcquisitionLoop.h"
#include "station/StationContext.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

class NullView : public station::StationView {
public:
    void setCaption(const std::string&) override {}
    void updatePane(int, const station::PaneUpdate&) override {}
    void buildMenuBar(bool, bool) override {}
    void setTopMenusEnabled(bool) override {}
    void setCommandEnabled(int, bool) override {}
    void showProgress(bool) override {}
    void setProgressRange(int) override {}
    void setProgressPosition(int) override {}
    void stepProgress() override {}
    void setGridColors(const ColorScheme&) override {}
    void repaintGrid() override {}
    void showMessage(const station::StationMessage&) override {}
    void postMessage(const station::StationMessage&) override {}
    void endProcess(int) override {}
    void refreshExpansionDialog() override {}
    void startDisconnectTimer(std::chrono::milliseconds) override {}
    void cancelDisconnectTimer() override {}
};

// rows x cols boards of 64 channels; 0 x 0 measures the fixed part (the result signalling).
void BM_AcquisitionCycle(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const int cols = static_cast<int>(state.range(1));
    SimBus bus;
    bus.addHead().loadDemoSetup(4, 4, 64);
    CUSBChannel channel;
    TestSetup setup;
    HeadOperations ops(channel, setup);
    display::BoardGrid grid(setup.grid());
    NullView view;
    station::StationFlags flags;
    station::StationContext ctx{channel, bus, setup, ops, grid, view, flags, {}};
    if (!channel.openTester(bus) || !ops.readGlobalSettings() || !ops.readBoardTable()) {
        state.SkipWithError("simulated head did not answer");
        return;
    }
    GlobalSettings global = setup.global();
    global.gridRows = static_cast<std::uint8_t>(rows);
    global.gridCols = static_cast<std::uint8_t>(cols);
    setup.setGlobal(global);
    setup.grid().set(rows, cols);
    station::AcquisitionLoop loop(ctx);
    station::AcquisitionLoop::prepareThread(); // as the acquisition thread does
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores): the benchmark's loop idiom
        loop.cycle();
    state.counters["boards"] = rows * cols;
}
BENCHMARK(BM_AcquisitionCycle)
    ->Args({4, 4})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->DisplayAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
