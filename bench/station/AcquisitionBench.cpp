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

void BM_AcquisitionCycle16x64(benchmark::State& state)
{
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
    setup.grid().set(4, 4);
    station::AcquisitionLoop loop(ctx);
    for (auto _ : state)
        loop.cycle();
    state.counters["boards"] = 16;
}
BENCHMARK(BM_AcquisitionCycle16x64)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->DisplayAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
