#pragma once

#include "monitor/MonitorRows.h"
#include "texts/Texts.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class ChannelTableModel;
class MonitorSource;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class TrendChart;

// A board's channels readable from a metre away: a summary line, a table of every channel with
// its figures over the last K cycles, and a live trend of chosen channels with their limits.
// A top-level window of its own (several may be open, one per board); it refreshes itself from
// its source a few times a second.
class ChannelMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 500; // twice a second: live enough, about 1 % of a core
    static constexpr std::size_t kTrendCycles = 300;
    static constexpr std::size_t kMaxTrendChannels = 8;
    static constexpr int kTrendMinHeight = 260; // room for five count labels

    ChannelMonitor(MonitorSource& source, int row, int col, QWidget* parent = nullptr);

    int row() const { return row_; }
    int col() const { return col_; }
    // The language the window's words were built in.
    bool english() const { return english_; }

    // Reads the source now (the timer calls it).
    void refresh();

    // Both write the whole file or nothing (atomicfile), so a failed save leaves no half-written file; false
    // with the reason in error on failure.
    bool saveChartPng(const QString& path, QString* error = nullptr);
    bool exportCsv(const QString& path, QString* error = nullptr);

    // Parts, for tests.
    ChannelTableModel* model() const { return model_; }
    QSortFilterProxyModel* sortedModel() const { return sorted_; }
    QTableView* table() const { return table_; }
    TrendChart* trend() const { return trend_; }
    QLabel* summary() const { return summary_; }
    QSpinBox* windowSize() const { return windowSize_; }
    QPushButton* pauseButton() const { return pause_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout(bool english);
    void updateTrend();
    void fitColumns();
    std::vector<int> trendChannels() const;
    // Asks for a file (its suffix added when missing) and writes it with `write`; says why not.
    void askToWrite(texts::TextId filter, const QString& suffix,
                    bool (ChannelMonitor::*write)(const QString&, QString*));

    MonitorSource& source_;
    int row_;
    int col_;
    bool english_;
    QTimer timer_;
    QLabel* summary_ = nullptr;
    QSpinBox* windowSize_ = nullptr;
    QPushButton* pause_ = nullptr;
    ChannelTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    TrendChart* trend_ = nullptr;
    std::vector<int> columnNeeds_;    // the widest each column's title or figures have been
    std::vector<int> operatorWidths_; // widths the operator dragged columns to; 0: not sized
    bool fitting_ = false;            // sections resized now are our own fitting
};
