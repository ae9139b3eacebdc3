#pragma once

#include <QImage>
#include <QString>
#include <QVideoFrame>

#include <atomic>
#include <mutex>

// The frame tap of the camera windows. Frames arrive on whatever thread the capture backend
// delivers them on (a streaming thread per window, or the GUI thread with some backends); the
// GUI thread only raises the snapshot request. The next frame after a request, from any window, is written as
// "<folder>grab<n>.bmp" with n counting up from 0.
//
// The request is taken with one atomic exchange and the file number with one atomic increment,
// so two windows never serve the same request or write the same file. The folder is read under
// a lock, only when a snapshot is served.
class CSampleGrabberCB {
public:
    enum class Result {
        Ok,            // frame handled (or nothing to do)
        InvalidPointer // a snapshot was due but the frame held no picture; the request stays
    };

    explicit CSampleGrabberCB(QString folder);

    // The process-wide grabber every camera window uses; its folder is chosen at first use.
    static CSampleGrabberCB& instance();

    // GUI thread: asks for the next frame to be written. Requests before that frame merge.
    void requestSnapshot() noexcept;
    bool snapshotRequested() const noexcept;

    // Any thread: serves a pending request with this frame.
    Result bufferCB(const QVideoFrame& frame);
    Result bufferCB(const QImage& frame);

    QString folder() const;
    void setFolder(QString folder);       // ends in '/' (tests and the folder choice)
    int snapshotCounter() const noexcept; // number of the next file

private:
    template <typename Frame> Result serve(const Frame& frame);

    std::atomic<bool> requested_{false};
    std::atomic<int> counter_{0};
    mutable std::mutex folderLock_;
    QString folder_;
};
