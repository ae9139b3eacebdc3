#include "CCaptureVideo.h"

#include "uikit/MessageBox.h"

#include <QMediaDevices>
#include <QVideoSink>

namespace {

const QString kCantBuild = QStringLiteral(u"Can\u2019t build the graph");
const QString kCouldntRun = QStringLiteral(u"Couldn\u2019t run the graph!");

} // namespace

CCaptureVideo::CCaptureVideo(CSampleGrabberCB& grabber, QObject* parent) : QObject(parent), grabber_(grabber)
{
}

CCaptureVideo::~CCaptureVideo()
{
    close();
}

QList<QCameraDevice> CCaptureVideo::videoInputs()
{
    QList<QCameraDevice> named;
    const QList<QCameraDevice> all = QMediaDevices::videoInputs();
    for (const QCameraDevice& device : all)
        if (!device.description().isEmpty())
            named.append(device);
    return named;
}

bool CCaptureVideo::open(const QCameraDevice& device, QWidget* previewArea)
{
    close();
    ownerWindow_ = previewArea;
    if (device.isNull()) {
        showMessage(kCantBuild);
        return false;
    }
    camera_ = std::make_unique<QCamera>(device);
    if (camera_->error() != QCamera::NoError) {
        camera_.reset();
        showMessage(kCantBuild);
        return false;
    }
    session_ = std::make_unique<QMediaCaptureSession>();
    session_->setCamera(camera_.get());

    videoWindow_ = new QVideoWidget(previewArea);
    session_->setVideoOutput(videoWindow_.data());
    // The frame tap runs on the thread that delivers the frame; the grabber is thread-safe and
    // outlives every window, and the sink dies with the video window, which ends the tap.
    QVideoSink* sink = videoWindow_->videoSink();
    CSampleGrabberCB* grabber = &grabber_;
    connect(
        sink, &QVideoSink::videoFrameChanged, sink,
        [grabber](const QVideoFrame& frame) { grabber->bufferCB(frame); }, Qt::DirectConnection);
    fitVideoWindow();
    videoWindow_->show();

    connect(camera_.get(), &QCamera::errorOccurred, this, &CCaptureVideo::onCameraError);
    connect(camera_.get(), &QCamera::activeChanged, this, [this](bool active) {
        if (active)
            startPending_ = false;
    });
    startPending_ = true;
    camera_->start();
    if (startPending_ && camera_->error() != QCamera::NoError)
        onCameraError(camera_->error()); // failed at once, before any signal reached us
    return true;
}

void CCaptureVideo::onCameraError(QCamera::Error error)
{
    // Only a failing start is reported, once; a camera that drops out later ends the preview quietly.
    if (!startPending_ || error == QCamera::NoError)
        return;
    startPending_ = false;
    // Shown from the event loop, not from inside the camera's own call that raised the error:
    // the message box runs a nested loop in which this window may be closed.
    QMetaObject::invokeMethod(
        this, [this] { showMessage(kCouldntRun); }, Qt::QueuedConnection);
}

void CCaptureVideo::close()
{
    startPending_ = false;
    if (camera_) {
        disconnect(camera_.get(), nullptr, this, nullptr);
        camera_->stop();
    }
    if (session_) {
        session_->setVideoOutput(nullptr);
        session_->setCamera(nullptr);
    }
    delete videoWindow_.data();
    session_.reset();
    camera_.reset();
}

void CCaptureVideo::fitVideoWindow()
{
    if (videoWindow_ == nullptr || ownerWindow_ == nullptr)
        return;
    // The area's frame is not part of the picture: the preview fills what lies inside it.
    videoWindow_->setGeometry(ownerWindow_->contentsRect());
}

void CCaptureVideo::showMessage(const QString& text)
{
    QWidget* owner = ownerWindow_ ? ownerWindow_->window() : nullptr;
    uikit::message(owner, text, QMessageBox::NoIcon, QMessageBox::Ok);
}
