#include "SampleList.h"

#include "uikit/DialogNumber.h"

#include <QHeaderView>

namespace setting {

namespace {
constexpr int kColumnWidth = 50;
} // namespace

SampleList::SampleList(QWidget* parent) : QTableWidget(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setTabKeyNavigation(false); // Tab moves on to the next control, never traps the operator here
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    setColumnCount(1);
    setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("No.")));
}

void SampleList::setChannelColumns(int channels)
{
    setColumnCount(channels + 1);
    for (int c = 0; c < channels; ++c)
        setHorizontalHeaderItem(c + 1, new QTableWidgetItem(QString::number(c)));
    for (int c = 0; c <= channels; ++c)
        setColumnWidth(c, kColumnWidth);
}

void SampleList::ensureRow(int row)
{
    while (rowCount() <= row) {
        const int added = rowCount();
        insertRow(added);
        auto* item = new QTableWidgetItem();
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        setItem(added, 0, item);
    }
}

void SampleList::insertTopRow(const QString& label, bool ticked, std::span<const int> values)
{
    insertRow(0);
    auto* item = new QTableWidgetItem(label);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    setItem(0, 0, item);
    const int shown = std::min(static_cast<int>(values.size()), channelColumns());
    for (int c = 0; c < shown; ++c)
        setValue(0, c, values[static_cast<std::size_t>(c)]);
}

QString SampleList::label(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell != nullptr ? cell->text() : QString();
}

void SampleList::setLabel(int row, const QString& text)
{
    ensureRow(row);
    item(row, 0)->setText(text);
    // The label column grows to show its label whole (an "AVG" beside the check box).
    const int needed = sizeHintForColumn(0);
    if (columnWidth(0) < needed)
        setColumnWidth(0, needed);
}

bool SampleList::ticked(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell != nullptr && cell->checkState() == Qt::Checked;
}

void SampleList::setTicked(int row, bool on)
{
    ensureRow(row);
    item(row, 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void SampleList::setValue(int row, int channel, int value)
{
    if (channel < 0 || channel >= channelColumns())
        return;
    ensureRow(row);
    auto* cell = new QTableWidgetItem(QString::asprintf("%d", value));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, channel + 1, cell);
}

std::int32_t SampleList::value(int row, int channel) const
{
    if (channel < 0 || channel >= channelColumns())
        return 0;
    const QTableWidgetItem* cell = item(row, channel + 1);
    return cell != nullptr ? uikit::dialogNumber<std::int32_t>(cell->text()) : 0;
}

std::vector<std::int32_t> SampleList::tickedValues(int channel) const
{
    std::vector<std::int32_t> values;
    for (int row = 0; row < rowCount(); ++row)
        if (ticked(row))
            values.push_back(value(row, channel));
    return values;
}

bool SampleList::anyTicked() const
{
    for (int row = 0; row < rowCount(); ++row)
        if (ticked(row))
            return true;
    return false;
}

} // namespace setting
