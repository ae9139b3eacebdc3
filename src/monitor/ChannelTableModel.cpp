#include "monitor/ChannelTableModel.h"

#include "monitor/MonitorColumns.h"

#include <QBrush>
#include <QColor>

using monitor::Column;

namespace {

const QColor kFailBackground(255, 110, 110);
const QColor kFailText(0, 0, 0);
const QColor kNotJudgedText(120, 120, 120);

bool sameChannels(const std::vector<monitor::ChannelRow>& a, const std::vector<monitor::ChannelRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].channel != b[i].channel)
            return false;
    return true;
}

} // namespace

ChannelTableModel::ChannelTableModel(bool english, QObject* parent)
    : QAbstractTableModel(parent), english_(english)
{
}

void ChannelTableModel::setRows(std::vector<monitor::ChannelRow> rows)
{
    if (!sameChannels(rows_, rows)) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    rows_ = std::move(rows);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ChannelTableModel::setEnglish(bool english)
{
    english_ = english;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ChannelTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChannelTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : monitor::kColumnCount;
}

QVariant ChannelTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const monitor::ChannelRow& row = rows_[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<Column>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(monitor::cellText(row, column, english_));
    case kSortRole:
        return monitor::sortKey(row, column);
    case kChannelRole:
        return row.channel;
    case Qt::TextAlignmentRole:
        return column == Column::Mode ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                      : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (row.failing())
            return QBrush(kFailBackground);
        return {};
    case Qt::ForegroundRole:
        if (row.failing())
            return QBrush(kFailText);
        if (row.judgement == display::ChannelJudgement::NotJudged)
            return QBrush(kNotJudgedText);
        return {};
    default:
        return {};
    }
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(monitor::columnTitle(static_cast<Column>(section), english_));
}
