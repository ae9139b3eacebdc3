#pragma once

#include "stats/BoardStatistics.h"

#include <QChartView>

#include <cstdint>
#include <vector>

class QLineSeries;
class QValueAxis;

// The counts of a few channels over the last cycles, each with its low and high limit drawn as
// dashed lines of the same colour. x is the cycle number of the board's statistics.
class TrendChart : public QChartView {
    Q_OBJECT
public:
    struct Channel {
        int channel = 0;
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        bool judged = true; // limit lines only for judged channels
    };

    explicit TrendChart(bool english, QWidget* parent = nullptr);

    // Which channels are drawn; the series are rebuilt only when the set or a limit changes.
    void setChannels(const std::vector<Channel>& channels);
    const std::vector<Channel>& channels() const { return channels_; }
    // New counts, one series per channel of setChannels in the same order. Ignored while paused.
    void setTrend(const stats::BoardTrend& trend, std::size_t span);

    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    // Series for tests: the counts, low and high lines of the i-th channel.
    QLineSeries* countsSeries(std::size_t i) const;
    QLineSeries* lowSeries(std::size_t i) const;
    QLineSeries* highSeries(std::size_t i) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Lines {
        QLineSeries* counts = nullptr;
        QLineSeries* low = nullptr;
        QLineSeries* high = nullptr;
    };

    QLineSeries* addSeries(const QString& name, const QColor& color, bool dashed);
    void placeLimits(double from, double to);
    // The count axis's range with as many ticks as its labels have room for: the chart elides
    // labels ("...") that stand closer than their own height.
    void placeCountRange();

    bool english_;
    bool paused_ = false;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::vector<Channel> channels_;
    std::vector<Lines> lines_;
    double countLow_ = 0;
    double countHigh_ = 1;
};
