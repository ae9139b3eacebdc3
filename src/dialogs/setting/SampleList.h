#pragma once

#include <QString>
#include <QTableWidget>

#include <cstdint>
#include <span>
#include <vector>

// The two report lists of the baseline dialog (captured samples and the average row): a
// "No." column with a check box in front of each row, then one column per channel. Cells hold
// the numbers as text, as the operator sees them.
namespace setting {

class SampleList : public QTableWidget {
    Q_OBJECT
public:
    explicit SampleList(QWidget* parent = nullptr);

    // "No." and one column per channel titled "0".."channels-1", 50 pixels each.
    void setChannelColumns(int channels);
    int channelColumns() const { return columnCount() > 0 ? columnCount() - 1 : 0; }

    // A new row at the top with its label, tick and channel values ("%d"); values past the
    // list's channel columns are not shown.
    void insertTopRow(const QString& label, bool ticked, std::span<const int> values);
    // Row 0 of the average list: appended when missing.
    void ensureRow(int row);

    QString label(int row) const;
    void setLabel(int row, const QString& text);
    bool ticked(int row) const;
    void setTicked(int row, bool on);
    // Shows the value in the channel's column of the row.
    void setValue(int row, int channel, int value);
    // The channel's cell of the row read as a decimal number (up to the first non-digit; an
    // empty cell gives 0); 0 for a channel the list does not have.
    std::int32_t value(int row, int channel) const;

    // The channel's values over every ticked row, top to bottom.
    std::vector<std::int32_t> tickedValues(int channel) const;
    bool anyTicked() const;
};

} // namespace setting
