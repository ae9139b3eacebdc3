// What the baseline dialog's buttons do to its working data: capture, averaging, thresholds,
// the two threshold modes and masks. Nothing here writes to the head.
#include "CSettingDlg.h"
#include "NumberField.h"
#include "SampleList.h"
#include "SettingTexts.h"
#include "Thresholds.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <vector>

using TextId = ::texts::TextId;

namespace {

constexpr int kMaxCount = static_cast<int>(thresholdrule::kMaxCount);

constexpr auto kRelaxed = std::memory_order_relaxed;

} // namespace

void CSettingDlg::captureSample()
{
    if (!multiBoard_)
        return;
    const display::BoardPanel* source = liveSource();
    if (source == nullptr)
        return; // no live counts for this board: a row of zeros would only spoil the average
    std::vector<int> counts(static_cast<std::size_t>(channels_));
    for (int i = 0; i < channels_; ++i)
        counts[static_cast<std::size_t>(i)] = source->rawOf(i);
    samples_->insertTopRow(QString::asprintf("%d", sampleCounter_++), true, counts);
}

void CSettingDlg::computeBaseline()
{
    if (head_.setup().global().locked(GlobalSettings::LockBaseline)) {
        uikit::message(this, say(TextId::BaselineLocked));
        return;
    }
    // Every field is checked and every channel computed before anything changes, so a refusal
    // leaves the working data as it was.
    const bool byPercentage = byPercentage_->isChecked();
    std::uint16_t percentage = 0;
    std::uint16_t high = 0;
    std::uint16_t low = 0;
    if (byPercentage) {
        const auto p = checkedField(percentage_, TextId::FieldPercentage, thresholdrule::kMaxPercentage);
        if (!p)
            return;
        percentage = *p;
    } else {
        const auto l = checkedField(allowedLow_, TextId::FieldAllowedLow, kMaxCount);
        const auto h = l ? checkedField(allowedHigh_, TextId::FieldAllowedHigh, kMaxCount) : std::nullopt;
        if (!h)
            return;
        low = *l;
        high = *h;
    }
    const std::optional<ViewRange> range = checkedViewRange();
    if (!range)
        return;

    display::BoardPanel& panel = workingPanel();
    const auto n = static_cast<std::size_t>(channels_);
    std::vector<std::uint16_t> references(n);
    for (std::size_t c = 0; c < n; ++c)
        references[c] = panel.reference[c].load(kRelaxed);
    const bool fromSamples = samples_->rowCount() > 0;
    if (fromSamples) {
        if (!samples_->anyTicked()) {
            // Without a ticked sample there is no average: keep the references and thresholds.
            uikit::message(this, say(TextId::NoSampleTicked));
            return;
        }
        for (std::size_t c = 0; c < n; ++c) {
            const std::vector<std::int32_t> values = samples_->tickedValues(static_cast<int>(c));
            references[c] = static_cast<std::uint16_t>(setting::truncatedMean(values).value_or(0));
        }
    }
    std::vector<setting::ThresholdPair> thresholds(n);
    for (std::size_t c = 0; c < n; ++c) {
        thresholds[c] = byPercentage ? setting::thresholdsByPercentage(references[c], percentage)
                                     : setting::thresholdsByAllowance(references[c], high, low);
        if (!thresholdsStorable(static_cast<int>(c), thresholds[c]))
            return;
    }

    for (std::size_t c = 0; c < n; ++c) {
        panel.reference[c].store(references[c], kRelaxed);
        panel.thresholdLow[c].store(static_cast<std::uint16_t>(thresholds[c].low), kRelaxed);
        panel.thresholdHigh[c].store(static_cast<std::uint16_t>(thresholds[c].high), kRelaxed);
        if (fromSamples)
            averages_->setValue(0, static_cast<int>(c), references[c]);
    }
    if (fromSamples)
        averages_->setTicked(0, true);
    panel.setViewRange(range->max, range->min);
}

void CSettingDlg::chooseAllChannels()
{
    allChannels_->setChecked(true);
    singleChannel_->setChecked(false);
    channelChoice_->setEnabled(false);
    applySingle_->setEnabled(false);
    baseline_->setEnabled(true);
    if (multiBoard_)
        (head_.setup().workRecord().percentMode() ? byPercentage_ : byAllowance_)->setChecked(true);
    byPercentage_->setEnabled(true);
    percentage_->setEnabled(true);
}

// One channel at a time is always set by allowances.
void CSettingDlg::chooseSingleChannel()
{
    allChannels_->setChecked(false);
    singleChannel_->setChecked(true);
    channelChoice_->setEnabled(true);
    applySingle_->setEnabled(true);
    baseline_->setEnabled(false);
    byAllowance_->setChecked(true);
    byPercentage_->setEnabled(false);
    percentage_->setEnabled(false);
}

void CSettingDlg::applySingleSetting()
{
    const int channel = channelChoice_->currentIndex();
    if (channel < 0 || channel >= channels_) {
        uikit::message(this, say(TextId::NoChannelSelected));
        return;
    }
    const auto low = checkedField(allowedLow_, TextId::FieldAllowedLow, kMaxCount);
    const auto high = low ? checkedField(allowedHigh_, TextId::FieldAllowedHigh, kMaxCount) : std::nullopt;
    if (!high)
        return;
    display::BoardPanel& panel = workingPanel();
    const auto c = static_cast<std::size_t>(channel);
    const setting::ThresholdPair pair =
        setting::thresholdsByAllowance(panel.reference[c].load(kRelaxed), *high, *low);
    if (!thresholdsStorable(channel, pair))
        return;
    panel.thresholdLow[c].store(static_cast<std::uint16_t>(pair.low), kRelaxed);
    panel.thresholdHigh[c].store(static_cast<std::uint16_t>(pair.high), kRelaxed);
}

void CSettingDlg::setAllMasks(std::uint8_t mode)
{
    ChannelBytes masks{};
    masks.fill(mode);
    workingPanel().SetMasks(masks);
}

std::optional<std::uint16_t> CSettingDlg::checkedField(QLineEdit* edit, ::texts::TextId name, int max)
{
    const setting::WholeNumber number = setting::parseWholeNumber(edit->text().toStdString(), 0, max);
    if (number.status == setting::WholeNumber::Status::Ok)
        return static_cast<std::uint16_t>(number.value);
    const QString field = say(name);
    uikit::message(this,
                   number.status == setting::WholeNumber::Status::Empty
                       ? say(TextId::FieldEmpty).arg(field)
                       : say(TextId::FieldOutOfRange).arg(field).arg(0).arg(max),
                   QMessageBox::Warning);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

std::optional<CSettingDlg::ViewRange> CSettingDlg::checkedViewRange()
{
    const std::optional<std::uint16_t> max = checkedField(rangeMax_, TextId::FieldRangeMax, kMaxCount);
    if (!max)
        return std::nullopt;
    const std::optional<std::uint16_t> min = checkedField(rangeMin_, TextId::FieldRangeMin, kMaxCount);
    if (!min)
        return std::nullopt;
    if (*min > *max) {
        uikit::message(this, QString::asprintf(::texts::text(TextId::RangeMinAboveMax, english_), *min, *max),
                       QMessageBox::Warning);
        rangeMin_->setFocus();
        return std::nullopt;
    }
    return ViewRange{*max, *min};
}

bool CSettingDlg::thresholdsStorable(int channel, const thresholdrule::Thresholds& thresholds)
{
    const auto low = static_cast<int>(thresholds.low);
    const auto high = static_cast<int>(thresholds.high);
    QString text;
    switch (thresholdrule::faultOf(thresholds)) {
    case thresholdrule::Fault::None:
        return true;
    case thresholdrule::Fault::LowBelowZero:
        text = QString::asprintf(::texts::text(TextId::ThresholdLowBelowZero, english_), channel, low);
        break;
    case thresholdrule::Fault::HighAboveMax:
        text = QString::asprintf(::texts::text(TextId::ThresholdHighAboveMax, english_), channel, high);
        break;
    case thresholdrule::Fault::LowAboveHigh:
        text = QString::asprintf(::texts::text(TextId::ThresholdLowAboveHigh, english_), channel, low, high);
        break;
    }
    uikit::message(this, text, QMessageBox::Warning);
    return false;
}
