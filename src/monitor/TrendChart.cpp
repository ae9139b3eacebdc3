#include "monitor/TrendChart.h"

#include "texts/QtTexts.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <array>

namespace {

// Distinct colours for up to eight channels, readable on white.
const std::array<QColor, 8> kPalette{QColor(200, 30, 30), QColor(30, 90, 200),  QColor(20, 140, 60),
                                     QColor(190, 110, 0), QColor(130, 40, 170), QColor(0, 140, 150),
                                     QColor(120, 80, 40), QColor(210, 40, 140)};

bool sameChannels(const std::vector<TrendChart::Channel>& a, const std::vector<TrendChart::Channel>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.channel == y.channel && x.low == y.low && x.high == y.high && x.judged == y.judged;
    });
}

} // namespace

// The view is given its chart at construction: a view made without one builds a default chart,
// and setChart() later only drops that one from the scene without deleting it.
TrendChart::TrendChart(bool english, QWidget* parent) : QChartView(new QChart(), parent), english_(english)
{
    QChart* chart = this->chart();
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont legendFont = chart->legend()->font();
    legendFont.setPixelSize(16);
    chart->legend()->setFont(legendFont);
    chart->setMargins(QMargins(4, 4, 4, 4));
    axisX_ = new QValueAxis(chart);
    axisY_ = new QValueAxis(chart);
    axisX_->setLabelFormat(QStringLiteral("%d"));
    axisY_->setLabelFormat(QStringLiteral("%d"));
    axisX_->setTitleText(texts::qtext(texts::TextId::TrendCycleAxis, english));
    axisY_->setTitleText(texts::qtext(texts::TextId::TrendCountAxis, english));
    QFont axisFont = axisX_->labelsFont();
    axisFont.setPixelSize(14);
    axisX_->setLabelsFont(axisFont);
    axisY_->setLabelsFont(axisFont);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    setRenderHint(QPainter::Antialiasing, false);
}

QLineSeries* TrendChart::addSeries(const QString& name, const QColor& color, bool dashed)
{
    auto* series = new QLineSeries();
    series->setName(name);
    QPen pen(color);
    pen.setWidth(dashed ? 1 : 2);
    if (dashed)
        pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    chart()->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
    if (dashed)
        for (QLegendMarker* marker : chart()->legend()->markers(series))
            marker->setVisible(false);
    return series;
}

void TrendChart::setChannels(const std::vector<Channel>& channels)
{
    if (sameChannels(channels, channels_) && lines_.size() == channels.size())
        return;
    chart()->removeAllSeries();
    lines_.clear();
    channels_ = channels;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        const QColor color = kPalette[i % kPalette.size()];
        const QString name = texts::qtext(texts::TextId::TrendChannel, english_).arg(channels_[i].channel);
        Lines lines;
        lines.counts = addSeries(name, color, false);
        if (channels_[i].judged) {
            lines.low = addSeries(texts::qtext(texts::TextId::TrendLowLine, english_).arg(name), color, true);
            lines.high =
                addSeries(texts::qtext(texts::TextId::TrendHighLine, english_).arg(name), color, true);
        }
        lines_.push_back(lines);
    }
}

void TrendChart::setTrend(const stats::BoardTrend& trend, std::size_t span)
{
    if (paused_)
        return;
    const double last = static_cast<double>(trend.cycles);
    const double first = std::max(0.0, last - static_cast<double>(span) + 1);
    double low = 65535;
    double high = 0;
    for (std::size_t i = 0; i < lines_.size() && i < trend.counts.size(); ++i) {
        const std::vector<std::uint16_t>& counts = trend.counts[i];
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(counts.size()));
        const double start = last - static_cast<double>(counts.size()) + 1;
        for (std::size_t k = 0; k < counts.size(); ++k) {
            points.append(QPointF(start + static_cast<double>(k), counts[k]));
            low = std::min<double>(low, counts[k]);
            high = std::max<double>(high, counts[k]);
        }
        lines_[i].counts->replace(points);
        if (channels_[i].judged) {
            low = std::min<double>(low, channels_[i].low);
            high = std::max<double>(high, channels_[i].high);
        }
    }
    placeLimits(first, std::max(last, first + 1));
    if (low > high) {
        low = 0;
        high = 1;
    }
    const double pad = std::max(5.0, (high - low) * 0.05);
    axisY_->setRange(std::max(0.0, low - pad), std::min(65535.0, high + pad));
    axisY_->applyNiceNumbers();
}

void TrendChart::placeLimits(double from, double to)
{
    axisX_->setRange(from, to);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].low == nullptr)
            continue;
        lines_[i].low->replace({QPointF(from, channels_[i].low), QPointF(to, channels_[i].low)});
        lines_[i].high->replace({QPointF(from, channels_[i].high), QPointF(to, channels_[i].high)});
    }
}

QLineSeries* TrendChart::countsSeries(std::size_t i) const
{
    return i < lines_.size() ? lines_[i].counts : nullptr;
}

QLineSeries* TrendChart::lowSeries(std::size_t i) const
{
    return i < lines_.size() ? lines_[i].low : nullptr;
}

QLineSeries* TrendChart::highSeries(std::size_t i) const
{
    return i < lines_.size() ? lines_[i].high : nullptr;
}
