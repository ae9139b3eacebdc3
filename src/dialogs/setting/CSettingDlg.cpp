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
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

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

template <typename T> T* place(QWidget* parent, T* widget, int id, QRect where)
{
    widget->setParent(parent);
    widget->setGeometry(where);
    if (id != 0)
        uikit::setControlId(widget, id);
    return widget;
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
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
    averages_->setLabel(0, text("均值"));

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
        uikit::message(parentWidget(), setting::texts::boardNotRead(english_), QMessageBox::Warning);
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
    setWindowTitle(text(texts::kCaption));
    setFixedSize(dlu(0, 0, 379, 382).size());

    samples_ = place(this, new SampleList, id::kSamples, dlu(6, 6, 366, 60));
    capture_ = place(this, new QPushButton(text(texts::kCapture)), id::kCapture, dlu(6, 72, 50, 14));
    // Saving and loading samples is offered to the operator (the buttons used to stay hidden).
    save_ = place(this, new QPushButton(text(texts::kSave)), id::kSave, dlu(270, 72, 50, 14));
    load_ = place(this, new QPushButton(text(texts::kLoad)), id::kLoad, dlu(324, 72, 50, 14));
    averages_ = place(this, new SampleList, id::kAverages, dlu(6, 90, 366, 42));
    baseline_ = place(this, new QPushButton(text(texts::kBaseline)), id::kBaseline, dlu(6, 138, 50, 14));

    // Group boxes first, so the controls inside them stack above.
    place(this, new QGroupBox(text(texts::kRangeGroup)), 0, dlu(6, 156, 180, 36));
    place(this, new QGroupBox(text(texts::kPearsonGroup)), 0, dlu(6, 192, 180, 30));
    place(this, new QGroupBox(text(texts::kThresholdGroup)), 0, dlu(192, 156, 180, 84));

    place(this, new QLabel(text(texts::kUpper)), 0, dlu(18, 175, 15, 8));
    rangeMax_ = place(this, new QLineEdit, id::kRangeMax, dlu(36, 168, 48, 14));
    place(this, new QLabel(text(texts::kLower)), 0, dlu(90, 174, 15, 8));
    rangeMin_ = place(this, new QLineEdit, id::kRangeMin, dlu(114, 168, 48, 14));

    pearson_ = place(this, new QCheckBox(text(texts::kPearson)), id::kPearson, dlu(18, 204, 105, 13));
    pearsonPercent_ = place(this, new QLineEdit, id::kPearsonPercent, dlu(126, 204, 54, 14));

    openAll_ = place(this, new QPushButton(text(texts::kOpenAll)), id::kOpenAll, dlu(6, 228, 54, 14));
    closeAll_ = place(this, new QPushButton(text(texts::kCloseAll)), id::kCloseAll, dlu(66, 228, 54, 14));

    byPercentage_ =
        place(this, new QRadioButton(text(texts::kByPercentage)), id::kByPercentage, dlu(204, 171, 37, 10));
    percentage_ = place(this, new QLineEdit, id::kPercentage, dlu(252, 168, 114, 14));
    byAllowance_ =
        place(this, new QRadioButton(text(texts::kByAllowance)), id::kByAllowance, dlu(204, 191, 37, 10));
    place(this, new QLabel(text(texts::kLower)), 0, dlu(252, 192, 15, 8));
    allowedLow_ = place(this, new QLineEdit, id::kAllowedLow, dlu(270, 186, 36, 14));
    place(this, new QLabel(text(texts::kUpper)), 0, dlu(312, 192, 15, 8));
    allowedHigh_ = place(this, new QLineEdit, id::kAllowedHigh, dlu(330, 187, 36, 14));
    allChannels_ =
        place(this, new QCheckBox(text(texts::kAllChannels)), id::kAllChannels, dlu(204, 204, 112, 10));
    singleChannel_ =
        place(this, new QCheckBox(text(texts::kSingleChannel)), id::kSingleChannel, dlu(204, 222, 78, 10));
    channelChoice_ = place(this, new QComboBox, id::kChannelChoice, dlu(288, 222, 36, 14));
    applySingle_ =
        place(this, new QPushButton(text(texts::kApplySingle)), id::kApplySingle, dlu(330, 221, 38, 14));

    // The preview takes the place of its frame; a double-click cycles a channel's mode.
    place(this, new QFrame, id::kPreview, dlu(6, 246, 366, 96));
    previewView_ = new CColorBar(preview_, this);
    previewView_->Attach(this, id::kPreview);
    previewView_->setModeCycling(true);

    customOrder_ =
        place(this, new QCheckBox(text(texts::kCustomOrder)), id::kCustomOrder, dlu(6, 348, 42, 10));
    orderText_ =
        place(this, new QLineEdit(text(texts::kOrderExample)), id::kOrderText, dlu(54, 348, 318, 14));

    auto* cancel = place(this, new QPushButton(text(texts::kCancel)), id::kCancel, dlu(258, 366, 56, 14));
    auto* ok = place(this, new QPushButton(text(texts::kOk)), id::kOk, dlu(318, 366, 56, 14));
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

void CSettingDlg::applyLanguage()
{
    capture_->setText(texts::capture(english_));
    save_->setText(texts::save(english_));
    load_->setText(texts::load(english_));
    baseline_->setText(texts::baseline(english_));
    pearson_->setText(texts::pearson(english_));
    byPercentage_->setText(texts::byPercentage(english_));
    byAllowance_->setText(texts::byAllowance(english_));
    openAll_->setText(texts::openAll(english_));
    closeAll_->setText(texts::closeAll(english_));
    averages_->setLabel(0, texts::average(english_));
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
