// The baseline dialog against the simulated head: what it shows when it opens, what its buttons
// do to the working data, and exactly what OK stores (Cancel stores nothing).
#include "SettingDialogFixture.h"
#include "dialogs/setting/SampleList.h"
#include "display/CColorBar.h"
#include "support/CaseName.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRadioButton>

#include <algorithm>
#include <limits>

namespace {

using namespace setting;

TEST_F(SettingDialogTest, TwoTickedSamplesAverageIntoTheReference)
{
    auto dialog = openDialog();
    display::BoardPanel& live = grid.panel(0, 0);
    live.setRaw(std::vector<std::uint16_t>{100, 200, 300, 400});
    click(*dialog, id::kCapture);
    live.setRaw(std::vector<std::uint16_t>{103, 201, 303, 401});
    click(*dialog, id::kCapture);

    auto* samples = control<SampleList>(*dialog, id::kSamples);
    ASSERT_EQ(samples->rowCount(), 2);
    EXPECT_EQ(samples->label(0), "1"); // newest at the top, labelled by the sample counter
    EXPECT_EQ(samples->label(1), "0");
    EXPECT_TRUE(samples->ticked(0) && samples->ticked(1));
    EXPECT_EQ(samples->item(1, 1)->text(), "100");

    type(*dialog, id::kRangeMax, "600");
    type(*dialog, id::kRangeMin, "50");
    click(*dialog, id::kBaseline);
    EXPECT_EQ(dialog->workingPanel().viewRangeMax.load(), 600.0); // the preview's scale follows
    EXPECT_EQ(dialog->workingPanel().viewRangeMin.load(), 50.0);
    auto* averages = control<SampleList>(*dialog, id::kAverages);
    EXPECT_EQ(averages->item(0, 1)->text(), "101");
    EXPECT_EQ(averages->item(0, 4)->text(), "400");

    click(*dialog, id::kOk);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const std::vector<int> reference = headArray(0, BoardArray::Reference);
    EXPECT_EQ(std::vector<int>(reference.begin(), reference.begin() + 5),
              (std::vector<int>{101, 200, 301, 400, 0}));
}

TEST_F(SettingDialogTest, UntickedSamplesAreLeftOutOfTheAverage)
{
    auto dialog = openDialog();
    for (std::uint16_t count : {100, 103, 500}) {
        grid.panel(0, 0).setRaw(std::vector<std::uint16_t>(4, count));
        click(*dialog, id::kCapture);
    }
    control<SampleList>(*dialog, id::kSamples)->setTicked(0, false); // the 500 sample
    click(*dialog, id::kBaseline);
    EXPECT_EQ(dialog->workingPanel().reference[0].load(), 101);
}

// One channel's reference and the threshold parameters typed into the dialog, and the thresholds
// that OK must store.
struct ThresholdCase {
    int reference;
    bool byPercentage;
    QString percentage;
    QString allowedHigh;
    QString allowedLow;
    int low;
    int high;
};

class SettingThresholds : public SettingDialogTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(SettingThresholds, BaselineWithoutSamplesDerivesThemFromTheHeadsReferences)
{
    const ThresholdCase& c = GetParam();
    setHeadArray(0, BoardArray::Reference, {c.reference, 7, 7, 7});
    auto dialog = openDialog();
    click(*dialog, c.byPercentage ? id::kByPercentage : id::kByAllowance);
    type(*dialog, id::kPercentage, c.percentage);
    type(*dialog, id::kAllowedHigh, c.allowedHigh);
    type(*dialog, id::kAllowedLow, c.allowedLow);
    click(*dialog, id::kBaseline);
    click(*dialog, id::kOk);

    EXPECT_EQ(headArray(0, BoardArray::ThresholdLow)[0], c.low);
    EXPECT_EQ(headArray(0, BoardArray::ThresholdHigh)[0], c.high);
    EXPECT_EQ(headArray(0, BoardArray::Reference)[0], c.reference);
    EXPECT_EQ(headRecord(0).percentMode(), c.byPercentage);
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingThresholds,
                         ::testing::Values(ThresholdCase{1000, true, "10", "0", "0", 900, 1100},
                                           ThresholdCase{1003, true, "10", "0", "0", 902, 1103},
                                           ThresholdCase{1000, false, "0", "12", " 0 ", 1000, 1012},
                                           ThresholdCase{10, false, "0", "65525", "7", 3, 65535}),
                         [](const ::testing::TestParamInfo<ThresholdCase>& c) {
                             const std::string reference = "Reference" + std::to_string(c.param.reference);
                             if (c.param.byPercentage)
                                 return reference + "Percent" +
                                        caseNameFromText(c.param.percentage.toStdString());
                             return reference + "High" + caseNameFromText(c.param.allowedHigh.toStdString()) +
                                    "Low" + caseNameFromText(c.param.allowedLow.toStdString());
                         });

// A typo or a parameter that would leave 0..65535 (the head would wrap it into a channel that
// always fails or always passes) is refused by Baseline and by OK with a message naming the field
// or the first channel concerned, and the head keeps every byte.
struct BadInputCase {
    const char* name;
    int reference; // channel 0's reference on the head
    bool byPercentage;
    int field; // the edit typed into
    QString typed;
    const char* named; // what the message must name (Chinese interface)
};

class SettingBadInput : public SettingDialogTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(SettingBadInput, IsRefusedWithAMessageAndTheHeadUnchanged)
{
    const BadInputCase& c = GetParam();
    setHeadArray(0, BoardArray::Reference, {c.reference, 1000, 1000, 1000});
    const std::vector<std::uint8_t> before = headSetup();
    auto dialog = openDialog();
    click(*dialog, c.byPercentage ? id::kByPercentage : id::kByAllowance);
    type(*dialog, id::kPercentage, "10");
    type(*dialog, id::kAllowedHigh, "10");
    type(*dialog, id::kAllowedLow, "10");
    type(*dialog, id::kRangeMax, "2000");
    type(*dialog, id::kRangeMin, "0");
    type(*dialog, c.field, c.typed);
    const display::BoardPanel& panel = dialog->workingPanel();
    const std::uint16_t lowBefore = panel.thresholdLow[0].load();

    click(*dialog, id::kBaseline);
    ASSERT_EQ(messages.texts().size(), 1) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.texts().front().contains(QString::fromUtf8(c.named)))
        << messages.texts().front().toStdString();
    EXPECT_EQ(panel.thresholdLow[0].load(), lowBefore); // the working data is left as it was

    click(*dialog, id::kOk);
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.texts().back().contains(QString::fromUtf8(c.named)))
        << messages.texts().back().toStdString();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(headSetup(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingBadInput,
    ::testing::Values(BadInputCase{"LettersAsPercentage", 1000, true, id::kPercentage, "abc", "百分比"},
                      BadInputCase{"NegativePercentage", 1000, true, id::kPercentage, "-10", "百分比"},
                      BadInputCase{"PercentageAbove100", 100, true, id::kPercentage, "150", "百分比"},
                      BadInputCase{"EmptyPercentage", 1000, true, id::kPercentage, "", "百分比"},
                      BadInputCase{"DigitsThenLetters", 1000, false, id::kAllowedHigh, "12abc", "阀值上限"},
                      BadInputCase{"EmptyAllowance", 1000, false, id::kAllowedLow, "", "阀值下限"},
                      BadInputCase{"AllowanceAbove16Bits", 1000, false, id::kAllowedLow, "70000", "阀值下限"},
                      BadInputCase{"LowThresholdBelowZero", 10, false, id::kAllowedLow, "20", "通道0"},
                      BadInputCase{"HighThresholdAbove65535", 1000, false, id::kAllowedHigh, "65000",
                                   "通道0"},
                      BadInputCase{"LettersAsRange", 1000, true, id::kRangeMax, "x", "数值范围上限"},
                      BadInputCase{"RangeMinAboveMax", 1000, true, id::kRangeMin, "3000", "数值范围的下限"}),
    [](const ::testing::TestParamInfo<BadInputCase>& bad) { return std::string(bad.param.name); });

TEST_F(SettingDialogTest, SingleChannelSettingRefusesAThresholdBelowZero)
{
    setHeadArray(0, BoardArray::Reference, {1000, 10, 1000, 1000});
    auto dialog = openDialog();
    click(*dialog, id::kSingleChannel);
    control<QComboBox>(*dialog, id::kChannelChoice)->setCurrentIndex(1);
    type(*dialog, id::kAllowedLow, "20");
    type(*dialog, id::kAllowedHigh, "5");
    const std::uint16_t lowBefore = dialog->workingPanel().thresholdLow[1].load();
    click(*dialog, id::kApplySingle);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().front().contains(QString::fromUtf8("通道1")))
        << messages.texts().front().toStdString();
    EXPECT_EQ(dialog->workingPanel().thresholdLow[1].load(), lowBefore);
}

TEST_F(SettingDialogTest, EnglishRefusalsNameTheFieldInEnglish)
{
    setGlobal([](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, true); });
    auto dialog = openDialog();
    click(*dialog, id::kByPercentage);
    type(*dialog, id::kPercentage, "abc");
    click(*dialog, id::kBaseline);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(messages.texts().front(),
              QStringLiteral("\"Percentage\" must be a whole number from 0 to 100. Nothing was stored."));
}

TEST_F(SettingDialogTest, OkStoresEveryArrayInOrderWithEntriesPastTheBoardZero)
{
    setHeadArray(0, BoardArray::Reference, std::vector<int>(64, 555)); // junk past the four channels
    setHeadArray(0, BoardArray::Mask, std::vector<int>(64, 2));
    auto dialog = openDialog();
    head->clearReceived();
    click(*dialog, id::kOk);

    const std::vector<int> expected = {
        storage::maskAddress(0),
        storage::thresholdHighAddress(0),
        storage::thresholdHighAddress(0) + 64,
        storage::thresholdLowAddress(0),
        storage::thresholdLowAddress(0) + 64,
        storage::referenceAddress(0),
        storage::referenceAddress(0) + 64,
        storage::boardRecordAddress(0), // read, changed, written
        storage::orderAddress(0),
        storage::boardRecordAddress(0), // the order and its flag
    };
    EXPECT_EQ(writtenAddresses(), expected);
    const std::vector<int> reference = headArray(0, BoardArray::Reference);
    const std::vector<int> mask = headArray(0, BoardArray::Mask);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(reference[static_cast<std::size_t>(i)], i < kChannels ? 555 : 0) << i;
        EXPECT_EQ(mask[static_cast<std::size_t>(i)], i < kChannels ? 2 : 0) << i;
    }
}

TEST_F(SettingDialogTest, OkStoresTheRecordFieldsAndKeepsTheOthers)
{
    BoardRecord record = headRecord(0);
    record.reserved1 = {0x11, 0x22, 0x33};
    record.boardFlags |= 0x80; // a reserved bit
    record.userGain = 5;
    record.delayTime = 3;
    setHeadRecord(0, record);
    auto dialog = openDialog();
    type(*dialog, id::kRangeMax, "7000");
    type(*dialog, id::kRangeMin, "4464");
    type(*dialog, id::kPercentage, "15");
    type(*dialog, id::kAllowedHigh, "30");
    type(*dialog, id::kAllowedLow, "40");
    type(*dialog, id::kPearsonPercent, "85.5");
    click(*dialog, id::kOk);

    const BoardRecord stored = headRecord(0);
    EXPECT_EQ(stored.viewRangeMax, 7000);
    EXPECT_EQ(stored.viewRangeMin, 4464);
    EXPECT_EQ(stored.percentage, 15);
    EXPECT_EQ(stored.allowedHigh, 30);
    EXPECT_EQ(stored.allowedLow, 40);
    EXPECT_DOUBLE_EQ(stored.pearsonThreshold, 0.855);
    EXPECT_EQ(stored.reserved1, record.reserved1);
    EXPECT_EQ(stored.boardFlags & 0x80, 0x80);
    EXPECT_EQ(stored.userGain, 5);
    EXPECT_EQ(stored.delayTime, 3);
    EXPECT_EQ(setup.workRecord(), stored); // left for the steps after OK
}

TEST_F(SettingDialogTest, OpeningShowsTheBoardAsStored)
{
    BoardRecord record = headRecord(1);
    record.viewRangeMax = 9000;
    record.viewRangeMin = 100;
    record.percentage = 12;
    record.allowedHigh = 34;
    record.allowedLow = 56;
    record.pearsonThreshold = 0.855;
    record.setFlag(BoardRecord::PercentMode, false);
    record.setFlag(BoardRecord::PearsonEnable, false);
    setHeadRecord(1, record);
    setHeadArray(1, BoardArray::Reference, {11, 22, 33, 44});

    auto dialog = openDialog(0, 1);
    EXPECT_EQ(dialog->boardIndex(), 1);
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kRangeMax)->text(), "9000");
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kRangeMin)->text(), "100");
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kPercentage)->text(), "12");
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kAllowedHigh)->text(), "34");
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kAllowedLow)->text(), "56");
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kPearsonPercent)->text(), "85.5");
    EXPECT_FALSE(control<QLineEdit>(*dialog, id::kPearsonPercent)->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(*dialog, id::kPearson)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*dialog, id::kByAllowance)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(*dialog, id::kByPercentage)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(*dialog, id::kAllChannels)->isChecked());
    EXPECT_FALSE(control<QComboBox>(*dialog, id::kChannelChoice)->isEnabled());

    auto* averages = control<SampleList>(*dialog, id::kAverages);
    EXPECT_EQ(averages->label(0), QString::fromUtf8("均值"));
    EXPECT_TRUE(averages->ticked(0));
    EXPECT_EQ(averages->item(0, 3)->text(), "33");
    EXPECT_EQ(dialog->workingPanel().viewRangeMax.load(), 9000.0);
    EXPECT_EQ(setup.workRecord(), record);

    control<QCheckBox>(*dialog, id::kPearson)->click();
    EXPECT_TRUE(control<QLineEdit>(*dialog, id::kPearsonPercent)->isEnabled());
}

TEST_F(SettingDialogTest, NotANumberPearsonThresholdInTheRecordShowsZero)
{
    BoardRecord record = headRecord(0);
    record.pearsonThreshold = std::numeric_limits<double>::quiet_NaN();
    setHeadRecord(0, record);
    auto dialog = openDialog();
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kPearsonPercent)->text(), "0");
    EXPECT_EQ(setup.workRecord().pearsonThreshold, 0.0);
}

TEST_F(SettingDialogTest, CaptionNamesChannelsPositionAndFirmware)
{
    const int k = 1 * 2 + 0;
    BoardMeasureSettings measure = setup.measure(k);
    measure.firmwareVersion = 0x0108;
    setup.setMeasure(k, measure);
    EXPECT_EQ(openDialog(1, 0)->windowTitle(),
              QString::fromUtf8("[4通道]1行,0列基准值设置[当前固件版本为Ver1.08]"));

    setGlobal([](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, true); });
    EXPECT_EQ(openDialog(1, 0)->windowTitle(), "[4 Channel]Row 1,Col 0 Baseline setting[FW Ver1.08]");
    measure.firmwareVersion = 0x00FF;
    setup.setMeasure(k, measure);
    EXPECT_EQ(openDialog(1, 0)->windowTitle(),
              "[4 Channel]Row 1,Col 0 Baseline setting - read firmware version error");
}

TEST_F(SettingDialogTest, EnglishTexts)
{
    setGlobal([](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, true); });
    auto dialog = openDialog();
    const std::vector<std::pair<int, QString>> expected = {
        {id::kCapture, "Read"},
        {id::kSave, "Save"},
        {id::kLoad, "Load"},
        {id::kBaseline, "Baseline"},
        {id::kPearson, "Threshold"},
        {id::kByPercentage, "By percentage"},
        {id::kByAllowance, "By upper&&lower limits"},
        {id::kOpenAll, "Open all channels"},
        {id::kCloseAll, "Close all channels"},
    };
    for (const auto& [controlId, text] : expected)
        EXPECT_EQ(control<QAbstractButton>(*dialog, controlId)->text(), text) << controlId;
    EXPECT_EQ(control<SampleList>(*dialog, id::kAverages)->label(0), "AVG");
    EXPECT_TRUE(control<QPushButton>(*dialog, id::kSave)->isVisibleTo(dialog.get()));
    EXPECT_TRUE(control<QPushButton>(*dialog, id::kLoad)->isEnabled());
}

TEST_F(SettingDialogTest, SingleChannelModeUsesAllowancesAndStoresPercentModeClear)
{
    BoardRecord record = headRecord(0);
    record.setFlag(BoardRecord::PercentMode, true);
    setHeadRecord(0, record);
    setHeadArray(0, BoardArray::Reference, {1000, 2000, 3000, 4000});
    setHeadArray(0, BoardArray::ThresholdLow, {1, 2, 3, 4});
    setHeadArray(0, BoardArray::ThresholdHigh, {5, 6, 7, 8});
    auto dialog = openDialog();
    ASSERT_TRUE(control<QRadioButton>(*dialog, id::kByPercentage)->isChecked());

    click(*dialog, id::kSingleChannel);
    EXPECT_FALSE(control<QCheckBox>(*dialog, id::kAllChannels)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(*dialog, id::kSingleChannel)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(*dialog, id::kByPercentage)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(*dialog, id::kByPercentage)->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(*dialog, id::kPercentage)->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(*dialog, id::kByAllowance)->isChecked());
    EXPECT_FALSE(control<QPushButton>(*dialog, id::kBaseline)->isEnabled());
    EXPECT_TRUE(control<QComboBox>(*dialog, id::kChannelChoice)->isEnabled());

    click(*dialog, id::kApplySingle); // no channel chosen yet
    EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8("请选择需要单独设置的通道！")});

    control<QComboBox>(*dialog, id::kChannelChoice)->setCurrentIndex(2);
    type(*dialog, id::kAllowedHigh, "50");
    type(*dialog, id::kAllowedLow, "3000");
    click(*dialog, id::kApplySingle);
    click(*dialog, id::kOk);

    EXPECT_EQ(headArray(0, BoardArray::ThresholdLow)[2], 0);
    EXPECT_EQ(headArray(0, BoardArray::ThresholdHigh)[2], 3050);
    EXPECT_EQ(headArray(0, BoardArray::ThresholdLow)[1], 2); // other channels keep theirs
    EXPECT_EQ(headArray(0, BoardArray::ThresholdHigh)[3], 8);
    EXPECT_FALSE(headRecord(0).percentMode());

    // Back to all channels: the head's percent mode is shown again.
    auto again = openDialog();
    click(*again, id::kSingleChannel);
    click(*again, id::kAllChannels);
    EXPECT_TRUE(control<QCheckBox>(*again, id::kAllChannels)->isChecked());
    EXPECT_TRUE(control<QPushButton>(*again, id::kBaseline)->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(*again, id::kPercentage)->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(*again, id::kByAllowance)->isChecked()); // stored clear above
}

TEST_F(SettingDialogTest, CloseAllThenCancelLeavesTheHeadUntouched)
{
    const std::vector<std::uint8_t> before = headSetup();
    auto dialog = openDialog();
    head->clearReceived();
    click(*dialog, id::kCloseAll);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(dialog->workingPanel().mask[static_cast<std::size_t>(i)].load(), 1);
    click(*dialog, id::kCancel);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(head->received().empty());
    EXPECT_EQ(headSetup(), before);
}

TEST_F(SettingDialogTest, CloseAllAndOpenAllReachTheHeadAtOk)
{
    auto dialog = openDialog();
    click(*dialog, id::kCloseAll);
    click(*dialog, id::kOk);
    std::vector<int> expected(64, 0);
    std::fill_n(expected.begin(), kChannels, 1);
    EXPECT_EQ(headArray(0, BoardArray::Mask), expected);

    auto reopened = openDialog();
    click(*reopened, id::kOpenAll);
    click(*reopened, id::kOk);
    EXPECT_EQ(headArray(0, BoardArray::Mask), std::vector<int>(64, 0));
}

TEST_F(SettingDialogTest, BoardOfSeventyChannelsIsHandledAsSixtyFour)
{
    ASSERT_TRUE(ops.updateBoardTableEntry(0, 0, 0, 0, 0, 70));
    auto dialog = openDialog();
    EXPECT_EQ(dialog->channels(), 64);
    EXPECT_EQ(control<SampleList>(*dialog, id::kSamples)->columnCount(), 65);
    EXPECT_EQ(control<SampleList>(*dialog, id::kAverages)->columnCount(), 65);
    EXPECT_EQ(control<QComboBox>(*dialog, id::kChannelChoice)->count(), 64);
    EXPECT_TRUE(dialog->windowTitle().startsWith(QString::fromUtf8("[64通道]")));
}

TEST_F(SettingDialogTest, BaselineLockRefusesAndChangesNothing)
{
    setGlobal([](GlobalSettings& g) { g.lockFlags |= GlobalSettings::LockBaseline; });
    auto dialog = openDialog();
    grid.panel(0, 0).setRaw(std::vector<std::uint16_t>(4, 100));
    click(*dialog, id::kCapture);
    const display::BoardSnapshot before = dialog->workingPanel().snapshot();
    click(*dialog, id::kBaseline);
    EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8("求基准按钮被禁止！")});
    EXPECT_EQ(dialog->workingPanel().snapshot(), before);
}

// Mended: without a ticked sample there is nothing to average; one "ERR" and no change (it used
// to show "ERR" per channel and store 65535 as every reference).
TEST_F(SettingDialogTest, SamplesWithNoneTickedChangeNothing)
{
    auto dialog = openDialog();
    grid.panel(0, 0).setRaw(std::vector<std::uint16_t>(4, 100));
    click(*dialog, id::kCapture);
    control<SampleList>(*dialog, id::kSamples)->setTicked(0, false);
    const display::BoardSnapshot before = dialog->workingPanel().snapshot();
    click(*dialog, id::kBaseline);
    EXPECT_EQ(messages.texts(), QStringList{"ERR"});
    EXPECT_EQ(dialog->workingPanel().snapshot(), before);
}

// Mended: a Pearson percentage that is not a number is refused before anything is written.
TEST_F(SettingDialogTest, PearsonPercentageNotANumberWritesNothingAndKeepsTheDialogOpen)
{
    const std::vector<std::uint8_t> before = headSetup();
    auto dialog = openDialog();
    click(*dialog, id::kCloseAll);
    type(*dialog, id::kPearsonPercent, "8o");
    head->clearReceived();
    click(*dialog, id::kOk);
    EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8("请输入一个数字。")});
    EXPECT_TRUE(head->received().empty());
    EXPECT_EQ(headSetup(), before);
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    type(*dialog, id::kPearsonPercent, "80");
    click(*dialog, id::kOk);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(headArray(0, BoardArray::Mask)[0], 1);
    EXPECT_DOUBLE_EQ(headRecord(0).pearsonThreshold, 0.8);
}

// Mended: live counts come only from a panel inside the 4 x 4 grid.
TEST_F(SettingDialogTest, BoardShownOutsideTheGridHasNoLiveCounts)
{
    ASSERT_TRUE(ops.updateBoardTableEntry(0, 5, 6, 0, 0, 4)); // row 5, column 6
    auto dialog = openDialog();
    click(*dialog, id::kCapture);
    EXPECT_EQ(control<SampleList>(*dialog, id::kSamples)->rowCount(), 0);
}

TEST_F(SettingDialogTest, OtherDeviceTypeShowsNoDataAndOkWritesNothing)
{
    const std::vector<std::uint8_t> before = headSetup();
    head->clearReceived();
    auto dialog = openDialog(0, 0, "TRIVELLA");
    EXPECT_FALSE(dialog->editsBoard());
    EXPECT_EQ(dialog->windowTitle(), "Baseline setting");
    EXPECT_EQ(control<QComboBox>(*dialog, id::kChannelChoice)->count(), 0);
    grid.panel(0, 0).setRaw(std::vector<std::uint16_t>(4, 100));
    click(*dialog, id::kCapture);
    EXPECT_EQ(control<SampleList>(*dialog, id::kSamples)->rowCount(), 0);
    click(*dialog, id::kOk);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(head->received().empty());
    EXPECT_EQ(headSetup(), before);
}

// A board that cannot be read is not stored from the zeros the dialog would show.
TEST_F(SettingDialogTest, SilentHeadAtOpeningIsReportedAndOkWritesNothing)
{
    head->setNoReply(true);
    channel.setReplyTimeout(std::chrono::milliseconds(20));
    auto dialog = openDialog();
    EXPECT_FALSE(dialog->editsBoard());
    ASSERT_EQ(messages.messages.size(), 1U);
    head->setNoReply(false);
    const std::vector<std::uint8_t> before = headSetup();
    head->clearReceived();
    click(*dialog, id::kOk);
    EXPECT_TRUE(head->received().empty());
    EXPECT_EQ(headSetup(), before);
}

TEST_F(SettingDialogTest, DoubleClickInThePreviewCyclesTheModeStoredAtOk)
{
    auto dialog = openDialog();
    CColorBar& preview = dialog->preview();
    EXPECT_EQ(uikit::findControl<CColorBar>(dialog.get(), id::kPreview), &preview);
    const int slotWidth = (preview.width() - 1) / kChannels;
    const int x = slotWidth + slotWidth / 2; // the middle of slot 1
    preview.cycleModeAt(x, preview.height() / 2, 0);
    EXPECT_EQ(dialog->workingPanel().mask[1].load(), 1);
    preview.cycleModeAt(x, preview.height() / 2, 0);
    EXPECT_EQ(dialog->workingPanel().mask[1].load(), 2);
    click(*dialog, id::kOk);
    EXPECT_EQ(headArray(0, BoardArray::Mask)[1], 2);
    EXPECT_EQ(headArray(0, BoardArray::Mask)[0], 0);
}

TEST_F(SettingDialogTest, PreviewFollowsTheLiveCounts)
{
    auto dialog = openDialog();
    grid.panel(0, 0).setRaw(std::vector<std::uint16_t>{1234, 1, 2, 3});
    const QDeadlineTimer deadline(5000); // a generous bound, not a timing requirement
    while (dialog->workingPanel().raw[0].load() != 1234 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(dialog->workingPanel().raw[0].load(), 1234);
}

} // namespace
