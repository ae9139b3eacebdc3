#include "monitor/ChannelMonitor.h"
#include "monitor/MonitorFeed.h"
#include "monitor/MonitorSource.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// A 64-channel board fed with noisy counts, one channel failing: what an open monitor reads.
class NoisyBoard : public MonitorSource {
public:
    NoisyBoard()
    {
        panel.channelCount = 64;
        for (std::size_t i = 0; i < 64; ++i) {
            panel.order[i] = static_cast<std::uint8_t>(i);
            panel.reference[i] = static_cast<std::uint16_t>(1200 + 7 * i);
        }
        for (int k = 0; k < 400; ++k)
            cycle();
    }

    void cycle()
    {
        monitor::JudgedBoard judged;
        judged.verdict = display::BoardVerdict::Fail;
        for (std::size_t i = 0; i < 64; ++i) {
            judged.counts[i] = static_cast<std::uint16_t>(panel.reference[i] - 3 + random() % 7);
            judged.low[i] = static_cast<std::uint16_t>(panel.reference[i] * 9 / 10);
            judged.high[i] = static_cast<std::uint16_t>(panel.reference[i] * 11 / 10);
            judged.judgement[i] = display::ChannelJudgement::Pass;
        }
        judged.counts[21] = 900;
        judged.judgement[21] = display::ChannelJudgement::Fail;
        feed.boardJudged(0, 0, judged, 64);
    }

    std::optional<monitor::MonitorInput> monitorInput(int row, int col) const override
    {
        return monitor::MonitorInput{panel, *feed.latest(row, col), statistics(row, col).snapshot()};
    }
    stats::BoardStatistics& statistics(int row, int col) const override
    {
        return feed.statistics().board(row, col);
    }
    bool englishUi() const override { return true; }

    display::BoardSnapshot panel;
    mutable monitor::MonitorFeed feed;
    std::mt19937 random{7};
};

// One refresh of an open monitor (read the board, update table and trend) and the repaint it
// causes, at the window's default size. The window refreshes twice a second, so the share of
// one core is 2 x this time.
void BM_MonitorRefreshAndPaint(benchmark::State& state)
{
    NoisyBoard board;
    ChannelMonitor window(board, 0, 0);
    window.show();
    QImage target(window.size(), QImage::Format_RGB32);
    for ([[maybe_unused]] auto&& _ : state) {
        board.cycle();
        window.refresh();
        QPainter painter(&target);
        window.render(&painter);
    }
}
BENCHMARK(BM_MonitorRefreshAndPaint)->Unit(benchmark::kMillisecond);

// The refresh alone: reading the board and updating the table model and the trend series.
void BM_MonitorRefreshOnly(benchmark::State& state)
{
    NoisyBoard board;
    ChannelMonitor window(board, 0, 0);
    window.show();
    for ([[maybe_unused]] auto&& _ : state) {
        board.cycle();
        window.refresh();
    }
}
BENCHMARK(BM_MonitorRefreshOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
