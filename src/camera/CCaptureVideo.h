#pragma once

#include "CSampleGrabberCB.h"

#include <QCamera>
#include <QCameraDevice>
#include <QList>
#include <QMediaCaptureSession>
#include <QObject>
#include <QPointer>
#include <QVideoWidget>
#include <QWidget>

#include <memory>

// The capture pipeline of one camera window: the camera, the capture session, the preview
// (a QVideoWidget inside the window's preview area) and the frame tap that hands every frame
// to the grabber on the thread the backend delivers it on. Empty until open().
class CCaptureVideo : public QObject {
    Q_OBJECT
public:
    explicit CCaptureVideo(CSampleGrabberCB& grabber = CSampleGrabberCB::instance(),
                           QObject* parent = nullptr);
    ~CCaptureVideo() override; // stops the capture and frees the camera

    CCaptureVideo(const CCaptureVideo&) = delete;
    CCaptureVideo& operator=(const CCaptureVideo&) = delete;

    // The video inputs a camera window lists: those with a name, in the system's order.
    static QList<QCameraDevice> videoInputs();

    // Builds and starts the pipeline for the device with the preview in previewArea. A running
    // pipeline is stopped first, so a second Open switches devices. Failures are shown in a
    // message box: "Can’t build the graph" when the device cannot be used (gone, or no backend),
    // "Couldn’t run the graph!" when it does not start. False when the pipeline was not built.
    bool open(const QCameraDevice& device, QWidget* previewArea);

    // Stops the capture, removes the preview and frees the camera. Safe to call again.
    void close();

    bool isOpen() const { return camera_ != nullptr; }
    QCamera* camera() const { return camera_.get(); }
    QVideoWidget* videoWindow() const { return videoWindow_; }

    // Fits the preview to the inside of the preview area; nothing when not open.
    void fitVideoWindow();

private:
    void onCameraError(QCamera::Error error);
    void showMessage(const QString& text);

    CSampleGrabberCB& grabber_;
    QPointer<QWidget> ownerWindow_; // the preview area
    std::unique_ptr<QCamera> camera_;
    std::unique_ptr<QMediaCaptureSession> session_;
    QPointer<QVideoWidget> videoWindow_;
    bool startPending_ = false; // start requested, camera not yet active: errors mean "did not run"
};
