// Construction and opening of the baseline dialog: the controls at their resource places, the
// board read from the head into the preview, and the texts in the operator's language.
#include "CSettingDlg.h"

#include "ChannelOrderText.h"
#include "SampleList.h"
#include "SettingIds.h"
#include "SettingTexts.h"
#include "display/CColorBar.h"
#include "setup/DeviceType.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/ControlId.h"
#include "uikit/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using TextId = ::texts::TextId;

namespace {

using namespace setting;

constexpr int kPreviewPeriodMs = 10;

// Dialog units of the resource to pixels (the usual 8-point dialog font).
QRect dlu(int x, int y, int w, int h)
{
    const auto px = [](int v) { return static_cast<int>(std::lround(v * 1.5)); };
    const auto py = [](int v) { return static_cast<int>(std::lround(v * 1.625)); };
    return {px(x), py(y), px(w), py(h)};
}

template <typename T> T* control(T* widget, int id)
{
    uikit::setControlId(widget, id);
    return widget;
}

QString number(int value)
{
    return QString::asprintf("%d", value);
}

} // namespace

CSettingDlg::CSettingDlg(HeadOperations& head, display::BoardGrid& grid, std::string deviceType, int row,
                         int col, QWidget* parent)
    : QDialog(parent), head_(head), grid_(grid), deviceType_(std::move(deviceType)), row_(row), col_(col)
{
    const GlobalSettings global = head_.setup().global();
    english_ = global.englishUi();
    boardIndex_ = row_ * global.gridCols + col_;
    channels_ = head_.setup().boardTableEntry(boardIndex_).channels();
    // A position whose board index lies outside the board table has no board to edit.
    multiBoard_ =
        devicetype::isMultiBoard(deviceType_) && boardIndex_ >= 0 && boardIndex_ < BoardTable::kEntries;

    buildControls();
    preview_.bannerShown.store(false);
    workingPanel().setChannelCount(channels_);
    samples_->setChannelColumns(channels_);
    averages_->setChannelColumns(channels_);
    averages_->setLabel(0, say(TextId::Average));

    if (multiBoard_) {
        setWindowTitle(setting::texts::caption(english_, channels_, row_, col_,
                                               head_.setup().measure(boardIndex_).firmwareVersion));
        loadBoard();
    }
    applyLanguage();
    allChannels_->setChecked(true);
    singleChannel_->setChecked(false);
    channelChoice_->setEnabled(false);
    applySingle_->setEnabled(false);

    previewView_->startRepaintTimer(kPreviewPeriodMs);
    liveTimer_ = new QTimer(this);
    connect(liveTimer_, &QTimer::timeout, this, &CSettingDlg::copyLiveCounts);
    liveTimer_->start(kPreviewPeriodMs);

    if (multiBoard_ && !editsBoard_)
        uikit::message(parentWidget(), say(TextId::BoardNotRead), QMessageBox::Warning);
}

// The preview view and the live-count timer use the preview grid, a member that goes before the
// base class deletes the children: stop and delete them first.
CSettingDlg::~CSettingDlg()
{
    delete liveTimer_;
    delete previewView_;
}

void CSettingDlg::buildControls()
{
    setWindowTitle(say(TextId::SettingCaption));
    // Laid out from the texts' own sizes in the order of the resource; the dialog can be
    // enlarged and the preview takes the room it gains.
    samples_ = control(new SampleList, id::kSamples);
    capture_ = control(new QPushButton(say(TextId::Capture)), id::kCapture);
    // Saving and loading samples is offered to the operator (the buttons used to stay hidden).
    save_ = control(new QPushButton(say(TextId::SaveSamples)), id::kSave);
    load_ = control(new QPushButton(say(TextId::LoadSamples)), id::kLoad);
    averages_ = control(new SampleList, id::kAverages);
    baseline_ = control(new QPushButton(say(TextId::Baseline)), id::kBaseline);
    samples_->setMinimumHeight(dlu(0, 0, 0, 60).height());
    averages_->setFixedHeight(dlu(0, 0, 0, 42).height());

    rangeMax_ = control(new QLineEdit, id::kRangeMax);
    rangeMin_ = control(new QLineEdit, id::kRangeMin);
    pearson_ = control(new QCheckBox(say(TextId::PearsonResource)), id::kPearson);
    pearsonPercent_ = control(new QLineEdit, id::kPearsonPercent);
    openAll_ = control(new QPushButton(say(TextId::OpenAllResource)), id::kOpenAll);
    closeAll_ = control(new QPushButton(say(TextId::CloseAllResource)), id::kCloseAll);
    byPercentage_ = control(new QRadioButton(say(TextId::ByPercentageResource)), id::kByPercentage);
    percentage_ = control(new QLineEdit, id::kPercentage);
    byAllowance_ = control(new QRadioButton(say(TextId::ByAllowanceResource)), id::kByAllowance);
    allowedLow_ = control(new QLineEdit, id::kAllowedLow);
    allowedHigh_ = control(new QLineEdit, id::kAllowedHigh);
    allChannels_ = control(new QCheckBox(say(TextId::AllChannels)), id::kAllChannels);
    singleChannel_ = control(new QCheckBox(say(TextId::SingleChannel)), id::kSingleChannel);
    channelChoice_ = control(new QComboBox, id::kChannelChoice);
    applySingle_ = control(new QPushButton(say(TextId::ApplySingle)), id::kApplySingle);
    customOrder_ = control(new QCheckBox(say(TextId::CustomOrder)), id::kCustomOrder);
    orderText_ = control(new QLineEdit(say(TextId::OrderExample)), id::kOrderText);
    auto* cancel = control(new QPushButton(say(TextId::SettingCancel)), id::kCancel);
    auto* ok = control(new QPushButton(say(TextId::SettingOk)), id::kOk);

    auto* range = new QGroupBox(say(TextId::RangeGroup));
    auto* rangeLine = new QHBoxLayout(range);
    rangeLine->addWidget(new QLabel(say(TextId::Upper)));
    rangeLine->addWidget(rangeMax_);
    rangeLine->addWidget(new QLabel(say(TextId::Lower)));
    rangeLine->addWidget(rangeMin_);

    auto* similarity = new QGroupBox(say(TextId::PearsonGroup));
    auto* similarityLine = new QHBoxLayout(similarity);
    similarityLine->addWidget(pearson_);
    similarityLine->addWidget(pearsonPercent_);

    auto* maskLine = new QHBoxLayout;
    maskLine->addWidget(openAll_);
    maskLine->addWidget(closeAll_);
    maskLine->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(range);
    left->addWidget(similarity);
    left->addLayout(maskLine);
    left->addStretch();

    auto* thresholds = new QGroupBox(say(TextId::ThresholdGroup));
    auto* thresholdGrid = new QGridLayout(thresholds);
    thresholdGrid->addWidget(byPercentage_, 0, 0);
    thresholdGrid->addWidget(percentage_, 0, 1, 1, 4);
    thresholdGrid->addWidget(byAllowance_, 1, 0);
    thresholdGrid->addWidget(new QLabel(say(TextId::Lower)), 1, 1);
    thresholdGrid->addWidget(allowedLow_, 1, 2);
    thresholdGrid->addWidget(new QLabel(say(TextId::Upper)), 1, 3);
    thresholdGrid->addWidget(allowedHigh_, 1, 4);
    thresholdGrid->addWidget(allChannels_, 2, 0, 1, 5);
    auto* singleLine = new QHBoxLayout;
    singleLine->addWidget(singleChannel_);
    singleLine->addWidget(channelChoice_);
    singleLine->addWidget(applySingle_);
    singleLine->addStretch();
    thresholdGrid->addLayout(singleLine, 3, 0, 1, 5);

    auto* settings = new QHBoxLayout;
    settings->addLayout(left, 1);
    settings->addWidget(thresholds, 1);

    auto* captureLine = new QHBoxLayout;
    captureLine->addWidget(capture_);
    captureLine->addStretch();
    captureLine->addWidget(save_);
    captureLine->addWidget(load_);

    auto* baselineLine = new QHBoxLayout;
    baselineLine->addWidget(baseline_);
    baselineLine->addStretch();

    auto* orderLine = new QHBoxLayout;
    orderLine->addWidget(customOrder_);
    orderLine->addWidget(orderText_, 1);

    auto* closeLine = new QHBoxLayout;
    closeLine->addStretch();
    closeLine->addWidget(cancel);
    closeLine->addWidget(ok);

    // The preview takes the place of its frame; a double-click cycles a channel's mode.
    auto* frame = control(new QFrame, id::kPreview);
    frame->setMinimumHeight(dlu(0, 0, 0, 96).height());

    auto* page = new QVBoxLayout(this);
    page->addWidget(samples_);
    page->addLayout(captureLine);
    page->addWidget(averages_);
    page->addLayout(baselineLine);
    page->addLayout(settings);
    page->addWidget(frame, 1);
    page->addLayout(orderLine);
    page->addLayout(closeLine);

    previewView_ = new CColorBar(preview_, this);
    previewView_->Attach(this, id::kPreview);
    previewView_->setMinimumHeight(dlu(0, 0, 0, 96).height());
    previewView_->setModeCycling(true);
    resize(dlu(0, 0, 379, 382).size().expandedTo(sizeHint()));

    // Fields take only what they can hold; OK and Baseline check them again (pasted text).
    for (QLineEdit* count : {rangeMax_, rangeMin_, allowedLow_, allowedHigh_})
        count->setValidator(new QIntValidator(0, 65535, count));
    percentage_->setValidator(new QIntValidator(0, 100, percentage_));
    auto* pearsonRange = new QDoubleValidator(0.0, 100.0, 4, pearsonPercent_);
    pearsonRange->setLocale(QLocale::c());
    pearsonRange->setNotation(QDoubleValidator::StandardNotation);
    pearsonPercent_->setValidator(pearsonRange);

    ok->setDefault(true);
    cancel->setAutoDefault(false);

    connect(ok, &QPushButton::clicked, this, &CSettingDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSettingDlg::reject);
    connect(capture_, &QPushButton::clicked, this, &CSettingDlg::captureSample);
    connect(save_, &QPushButton::clicked, this, &CSettingDlg::saveSamples);
    connect(load_, &QPushButton::clicked, this, &CSettingDlg::loadSamples);
    connect(baseline_, &QPushButton::clicked, this, &CSettingDlg::computeBaseline);
    connect(openAll_, &QPushButton::clicked, this, [this] { setAllMasks(0); });
    connect(closeAll_, &QPushButton::clicked, this, [this] { setAllMasks(1); });
    connect(allChannels_, &QCheckBox::clicked, this, &CSettingDlg::chooseAllChannels);
    connect(singleChannel_, &QCheckBox::clicked, this, &CSettingDlg::chooseSingleChannel);
    connect(applySingle_, &QPushButton::clicked, this, &CSettingDlg::applySingleSetting);
    connect(pearson_, &QCheckBox::toggled, pearsonPercent_, &QLineEdit::setEnabled);
    connect(customOrder_, &QCheckBox::toggled, orderText_, &QLineEdit::setEnabled);
}

void CSettingDlg::loadBoard()
{
    for (int i = 0; i < channels_; ++i)
        channelChoice_->addItem(number(i));
    channelChoice_->setCurrentIndex(-1); // no channel chosen until the operator picks one

    editsBoard_ = readBoardIntoPreview();
}

bool CSettingDlg::readBoardIntoPreview()
{
    display::BoardPanel& panel = workingPanel();
    bool ok = true;

    ChannelValues values{};
    if (head_.readBoardArray(boardIndex_, BoardArray::Reference, values)) {
        panel.SetReferences(values);
        for (int i = 0; i < channels_; ++i)
            averages_->setValue(0, i, values[static_cast<std::size_t>(i)]);
        averages_->setTicked(0, true);
    } else {
        ok = false;
    }
    values = {};
    ok = head_.readBoardArray(boardIndex_, BoardArray::ThresholdHigh, values) && ok;
    panel.SetThresholdsHigh(values);
    values = {};
    ok = head_.readBoardArray(boardIndex_, BoardArray::ThresholdLow, values) && ok;
    panel.SetThresholdsLow(values);
    values = {};
    ok = head_.readBoardArray(boardIndex_, BoardArray::Mask, values) && ok;
    ChannelBytes masks{};
    std::transform(values.begin(), values.end(), masks.begin(),
                   [](std::uint16_t v) { return static_cast<std::uint8_t>(v); });
    panel.SetMasks(masks);

    BoardRecord record;
    if (head_.readBoardRecord(boardIndex_, record)) {
        if (std::isnan(record.pearsonThreshold))
            record.pearsonThreshold = 0.0;
        head_.setup().setWorkRecord(record);
    } else {
        ok = false;
    }
    panel.setViewRange(record.viewRangeMax, record.viewRangeMin);
    copyLiveCounts();

    rangeMin_->setText(number(record.viewRangeMin));
    rangeMax_->setText(number(record.viewRangeMax));
    percentage_->setText(number(record.percentage));
    allowedLow_->setText(number(record.allowedLow));
    allowedHigh_->setText(number(record.allowedHigh));
    (record.percentMode() ? byPercentage_ : byAllowance_)->setChecked(true);
    pearson_->setChecked(record.pearsonEnable());
    pearsonPercent_->setEnabled(record.pearsonEnable());
    pearsonPercent_->setText(QString::asprintf("%g", record.pearsonThreshold * 100.0));

    const HeadOperations::BoardOrder order = head_.readBoardOrder(boardIndex_);
    ok = order.ok && ok;
    fillOrderControls(order.orderEnable, order.order);
    return ok;
}

void CSettingDlg::fillOrderControls(bool orderEnable, const ChannelBytes& headOrder)
{
    customOrder_->setChecked(orderEnable);
    orderText_->setEnabled(orderEnable);
    ChannelBytes shown = identityOrder();
    if (orderEnable) {
        shown = headOrder;
    } else if (display::BoardGrid::inStorage(row_, col_)) {
        const display::BoardSnapshot snapshot = grid_.panel(row_, col_).snapshot();
        shown = snapshot.order;
    }
    orderText_->setText(QString::fromStdString(setting::formatOrderText(shown, channels_)));
    orderText_->setCursorPosition(0); // a long order is wider than the edit: show its first entries
}

QString CSettingDlg::say(::texts::TextId id) const
{
    return setting::texts::say(id, english_);
}

void CSettingDlg::applyLanguage()
{
    capture_->setText(say(TextId::Capture));
    save_->setText(say(TextId::SaveSamples));
    load_->setText(say(TextId::LoadSamples));
    baseline_->setText(say(TextId::Baseline));
    pearson_->setText(say(TextId::Pearson));
    byPercentage_->setText(say(TextId::ByPercentage));
    byAllowance_->setText(say(TextId::ByAllowance));
    openAll_->setText(say(TextId::OpenAll));
    closeAll_->setText(say(TextId::CloseAll));
    averages_->setLabel(0, say(TextId::Average));
}

// Live counts come from the main grid's panel at the position the board table names for this
// board; a position outside the 4 x 4 grid has none.
const display::BoardPanel* CSettingDlg::liveSource() const
{
    if (!multiBoard_)
        return nullptr;
    const BoardTableEntry entry = head_.setup().boardTableEntry(boardIndex_);
    if (!display::BoardGrid::inStorage(entry.row(), entry.col()))
        return nullptr;
    return &grid_.panel(entry.row(), entry.col());
}

void CSettingDlg::copyLiveCounts()
{
    const display::BoardPanel* source = liveSource();
    if (source == nullptr)
        return;
    display::BoardPanel& panel = workingPanel();
    for (int i = 0; i < channels_; ++i)
        panel.raw[static_cast<std::size_t>(i)].store(source->rawOf(i), std::memory_order_relaxed);
}
