#pragma once

#include "monitor/MonitorRows.h"

#include <QAbstractTableModel>

#include <vector>

// The monitor's channel table: one row per channel, the columns of MonitorColumns. Failing
// channels are drawn on red; Qt::UserRole carries the numeric sort key of a cell.
class ChannelTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSortRole = Qt::UserRole;
    static constexpr int kChannelRole = Qt::UserRole + 1;

    explicit ChannelTableModel(bool english, QObject* parent = nullptr);

    // New figures for every row; the row set is rebuilt only when the channels change, so
    // selection and sorting stay as the operator left them.
    void setRows(std::vector<monitor::ChannelRow> rows);
    const std::vector<monitor::ChannelRow>& rows() const { return rows_; }
    void setEnglish(bool english);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<monitor::ChannelRow> rows_;
    bool english_;
};
