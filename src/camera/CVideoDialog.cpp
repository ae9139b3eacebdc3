#include "CVideoDialog.h"

#include "SnapshotFolder.h"
#include "VideoDialogLayout.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"

#include <QCloseEvent>
#include <QResizeEvent>

namespace {

// The first size fits a 640 x 480 preview.
constexpr QSize kInitialSize{670, 565};
constexpr QSize kMinimumSize{460, 200};

} // namespace

CVideoDialog::CVideoDialog(QWidget* parent, bool english) : QDialog(parent), english_(english)
{
    setWindowTitle(QStringLiteral("Video dialog"));
    setModal(false);
    setSizeGripEnabled(true);
    setMinimumSize(kMinimumSize);
    buildControls();
    fillDeviceList();
    resize(kInitialSize);
    placeControls();
}

CVideoDialog::~CVideoDialog()
{
    capture_.close();
}

void CVideoDialog::buildControls()
{
    deviceList_ = new QComboBox(this);
    uikit::setControlId(deviceList_, kDeviceListId);

    openButton_ = new QPushButton(QStringLiteral("&Open"), this);
    uikit::setControlId(openButton_, kOpenId);
    openButton_->setAutoDefault(false);
    connect(openButton_, &QPushButton::clicked, this, &CVideoDialog::onOpen);

    snapshotButton_ = new QPushButton(QStringLiteral("&Snapshot"), this);
    uikit::setControlId(snapshotButton_, kSnapshotId);
    snapshotButton_->setAutoDefault(false);
    connect(snapshotButton_, &QPushButton::clicked, this, &CVideoDialog::onSnapshot);

    folderLine_ = new QLabel(camera::snapshotFolderLine(CSampleGrabberCB::instance().folder()), this);
    folderLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderLine_->setToolTip(folderLine_->text());

    previewArea_ = new QFrame(this);
    uikit::setControlId(previewArea_, kPreviewAreaId);
    previewArea_->setFrameStyle(QFrame::Box | QFrame::Plain);

    // Kept hidden under their usual ids 1 and 2: the window has nothing to confirm.
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    uikit::setControlId(okButton_, kOkId);
    okButton_->setAutoDefault(false);
    okButton_->hide();
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    uikit::setControlId(cancelButton_, kCancelId);
    cancelButton_->setAutoDefault(false);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CVideoDialog::fillDeviceList()
{
    const QList<QCameraDevice> devices = CCaptureVideo::videoInputs();
    for (const QCameraDevice& device : devices)
        deviceList_->addItem(device.description(), device.id());
    if (deviceList_->count() > 0) {
        deviceList_->setCurrentIndex(0);
        return;
    }
    // No camera: say so where the list would be; Open has nothing to open. (Snapshot stays: its
    // request is served by the next frame of any camera window.)
    const QString none = texts::qtext(texts::TextId::NoCamera, english_);
    deviceList_->setPlaceholderText(none);
    deviceList_->setToolTip(none);
    deviceList_->setEnabled(false);
    openButton_->setEnabled(false);
}

void CVideoDialog::placeControls()
{
    using namespace camera;
    deviceList_->setGeometry(10, kControlRowTop, 250, kControlRowHeight);
    openButton_->setGeometry(270, kControlRowTop, 90, kControlRowHeight);
    snapshotButton_->setGeometry(370, kControlRowTop, 90, kControlRowHeight);
    folderLine_->setGeometry(10, kFolderLineTop, std::max(0, width() - 20), kFolderLineHeight);
    previewArea_->setGeometry(previewAreaRect(size()));
    capture_.fitVideoWindow();
}

void CVideoDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void CVideoDialog::onOpen()
{
    const int index = deviceList_->currentIndex();
    if (index < 0)
        return; // no device: nothing to open
    // Look the device up again by id: the list may have changed since the window was made.
    const QByteArray id = deviceList_->itemData(index).toByteArray();
    QCameraDevice selected;
    const QList<QCameraDevice> devices = CCaptureVideo::videoInputs();
    for (const QCameraDevice& device : devices)
        if (device.id() == id)
            selected = device;
    capture_.open(selected, previewArea_); // a vanished device is reported there
}

void CVideoDialog::onSnapshot()
{
    CSampleGrabberCB::instance().requestSnapshot();
}

void CVideoDialog::closeEvent(QCloseEvent* event)
{
    capture_.close();
    QDialog::closeEvent(event);
}

void CVideoDialog::done(int result)
{
    capture_.close();
    QDialog::done(result);
}
