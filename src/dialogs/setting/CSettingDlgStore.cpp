// OK of the baseline dialog: the working data, the board record and the channel order go to the
// head, in that order.
#include "CSettingDlg.h"
#include "ChannelOrderText.h"
#include "PercentInput.h"
#include "SettingTexts.h"
#include "Thresholds.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/MessageBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <span>

using TextId = ::texts::TextId;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

constexpr int kMaxCount = static_cast<int>(thresholdrule::kMaxCount);

// Entries 0..n-1 of a panel array as a whole 64-entry array whose later entries are zero.
template <typename T> ChannelValues firstChannels(const display::BoardPanel::Channels<T>& source, int n)
{
    ChannelValues values{};
    for (int i = 0; i < n; ++i)
        values[static_cast<std::size_t>(i)] = source[static_cast<std::size_t>(i)].load(kRelaxed);
    return values;
}

} // namespace

void CSettingDlg::accept()
{
    if (!editsBoard_) {
        QDialog::accept();
        return;
    }
    // Every field is checked before anything is written, so that a typo never stores nonsense
    // nor leaves the head half stored with the dialog still open.
    const std::optional<ViewRange> range = checkedViewRange();
    if (!range)
        return;
    StoredFields fields;
    fields.viewRangeMax = range->max;
    fields.viewRangeMin = range->min;
    const auto percentage = checkedField(percentage_, TextId::FieldPercentage, thresholdrule::kMaxPercentage);
    if (!percentage)
        return;
    fields.percentage = *percentage;
    const auto low = checkedField(allowedLow_, TextId::FieldAllowedLow, kMaxCount);
    if (!low)
        return;
    fields.allowedLow = *low;
    const auto high = checkedField(allowedHigh_, TextId::FieldAllowedHigh, kMaxCount);
    if (!high)
        return;
    fields.allowedHigh = *high;
    const std::optional<double> pearsonPercent = setting::parsePercent(pearsonPercent_->text().toStdString());
    if (!pearsonPercent) {
        uikit::message(this, say(TextId::NotANumber));
        pearsonPercent_->setFocus();
        return;
    }
    if (*pearsonPercent < 0.0 || *pearsonPercent > 100.0) {
        uikit::message(this, say(TextId::FieldOutOfRange).arg(say(TextId::FieldPearson)).arg(0).arg(100),
                       QMessageBox::Warning);
        pearsonPercent_->setFocus();
        return;
    }
    fields.pearsonPercent = *pearsonPercent;
    // The working thresholds, and in the all-channels mode the ones the stored parameters give
    // for the working references (the one-key setting derives them again from the record).
    const display::BoardPanel& panel = workingPanel();
    const bool byPercentage = byPercentage_->isChecked();
    for (int i = 0; i < channels_; ++i) {
        const auto c = static_cast<std::size_t>(i);
        if (!thresholdsStorable(
                i, {panel.thresholdLow[c].load(kRelaxed), panel.thresholdHigh[c].load(kRelaxed)}))
            return;
        if (!allChannels_->isChecked())
            continue;
        const std::uint16_t reference = panel.reference[c].load(kRelaxed);
        if (!thresholdsStorable(
                i, byPercentage
                       ? setting::thresholdsByPercentage(reference, fields.percentage)
                       : setting::thresholdsByAllowance(reference, fields.allowedHigh, fields.allowedLow)))
            return;
    }

    bool written = storeBoard(fields);
    written = storeOrder() && written;
    if (!written)
        uikit::message(this, say(TextId::HeadNotWritten), QMessageBox::Warning);
    QDialog::accept();
}

bool CSettingDlg::storeBoard(const StoredFields& fields)
{
    const display::BoardPanel& panel = workingPanel();
    const int k = boardIndex_;
    const int n = channels_;
    bool ok = head_.writeBoardArray(k, BoardArray::Mask, firstChannels(panel.mask, n));
    ok = head_.writeBoardArray(k, BoardArray::ThresholdHigh, firstChannels(panel.thresholdHigh, n)) && ok;
    ok = head_.writeBoardArray(k, BoardArray::ThresholdLow, firstChannels(panel.thresholdLow, n)) && ok;
    ok = head_.writeBoardArray(k, BoardArray::Reference, firstChannels(panel.reference, n)) && ok;

    // Read, change, write: the reserved bytes and the measurement settings keep the head's values,
    // and the record stays in the working record for the steps after OK.
    ok = head_.changeBoardRecord(k, [&](BoardRecord& record) {
        record.viewRangeMax = fields.viewRangeMax;
        record.viewRangeMin = fields.viewRangeMin;
        record.setFlag(BoardRecord::PercentMode, byPercentage_->isChecked());
        record.percentage = fields.percentage;
        record.allowedHigh = fields.allowedHigh;
        record.allowedLow = fields.allowedLow;
        record.setFlag(BoardRecord::PearsonEnable, pearson_->isChecked());
        record.pearsonThreshold = fields.pearsonPercent / 100.0;
    }) && ok;
    return ok;
}

// The custom order: off stores the identity; on stores the order text when every entry names a
// channel of the board, else it tells the operator and changes nothing.
bool CSettingDlg::storeOrder()
{
    const bool onGrid = display::BoardGrid::inStorage(row_, col_);
    if (!customOrder_->isChecked()) {
        const bool ok = head_.writeBoardOrder(boardIndex_, false, identityOrder());
        if (onGrid)
            grid_.panel(row_, col_).setIdentityOrder();
        return ok;
    }
    const QByteArray text = orderText_->text().toLocal8Bit();
    const setting::ParsedOrder parsed = setting::parseOrderText(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())), channels_);
    if (!parsed.valid()) {
        const int messages = parsed.badEntries + (parsed.tooFewEntries ? 1 : 0);
        for (int i = 0; i < messages; ++i)
            uikit::message(this, say(TextId::BadOrder));
        return true; // nothing was to be written
    }
    const bool ok = head_.writeBoardOrder(boardIndex_, true, parsed.order);
    if (onGrid)
        grid_.panel(row_, col_).setOrder(std::span(parsed.order).first(static_cast<std::size_t>(channels_)));
    return ok;
}
