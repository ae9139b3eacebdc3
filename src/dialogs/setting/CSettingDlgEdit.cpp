// What the baseline dialog's buttons do to its working data: capture, averaging, thresholds,
// the two threshold modes and masks. Nothing here writes to the head.
#include "CSettingDlg.h"
#include "SampleList.h"
#include "SettingTexts.h"
#include "Thresholds.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/DialogNumber.h"
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

std::uint16_t field16(const QLineEdit* edit)
{
    return uikit::dialogNumber<std::uint16_t>(edit->text());
}

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
    display::BoardPanel& panel = workingPanel();
    if (samples_->rowCount() > 0) {
        if (!samples_->anyTicked()) {
            // Without a ticked sample there is no average: keep the references and thresholds.
            uikit::message(this, say(TextId::NoSampleTicked));
            return;
        }
        for (int i = 0; i < channels_; ++i) {
            const std::vector<std::int32_t> values = samples_->tickedValues(i);
            const auto reference = static_cast<std::uint16_t>(setting::truncatedMean(values).value_or(0));
            panel.reference[static_cast<std::size_t>(i)].store(reference, kRelaxed);
            averages_->setValue(0, i, reference);
        }
        averages_->setTicked(0, true);
    }

    const bool byPercentage = byPercentage_->isChecked();
    const std::uint16_t percentage = field16(percentage_);
    const std::uint16_t high = field16(allowedHigh_);
    const std::uint16_t low = field16(allowedLow_);
    for (int i = 0; i < channels_; ++i) {
        const auto c = static_cast<std::size_t>(i);
        const std::uint16_t reference = panel.reference[c].load(kRelaxed);
        const setting::ThresholdPair pair = byPercentage
                                                ? setting::thresholdsByPercentage(reference, percentage)
                                                : setting::thresholdsByAllowance(reference, high, low);
        panel.thresholdLow[c].store(pair.low, kRelaxed);
        panel.thresholdHigh[c].store(pair.high, kRelaxed);
    }
    panel.setViewRange(field16(rangeMax_), field16(rangeMin_));
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
    display::BoardPanel& panel = workingPanel();
    const auto c = static_cast<std::size_t>(channel);
    const setting::ThresholdPair pair = setting::thresholdsByAllowance(
        panel.reference[c].load(kRelaxed), field16(allowedHigh_), field16(allowedLow_));
    panel.thresholdLow[c].store(pair.low, kRelaxed);
    panel.thresholdHigh[c].store(pair.high, kRelaxed);
}

void CSettingDlg::setAllMasks(std::uint8_t mode)
{
    ChannelBytes masks{};
    masks.fill(mode);
    workingPanel().SetMasks(masks);
}
