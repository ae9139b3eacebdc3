#include "CSampleGrabberCB.h"

#include "Bmp24.h"
#include "SnapshotFolder.h"

#include <utility>

namespace {

QImage pictureOf(const QImage& frame)
{
    return frame;
}
QImage pictureOf(const QVideoFrame& frame)
{
    return frame.isValid() ? frame.toImage() : QImage();
}

} // namespace

CSampleGrabberCB::CSampleGrabberCB(QString folder) : folder_(std::move(folder)) {}

CSampleGrabberCB& CSampleGrabberCB::instance()
{
    // Never destroyed: frame threads of windows still closing may reach it during exit.
    static auto* grabber = new CSampleGrabberCB(camera::defaultSnapshotFolder());
    return *grabber;
}

void CSampleGrabberCB::requestSnapshot() noexcept
{
    requested_.store(true, std::memory_order_release);
}

bool CSampleGrabberCB::snapshotRequested() const noexcept
{
    return requested_.load(std::memory_order_acquire);
}

template <typename Frame> CSampleGrabberCB::Result CSampleGrabberCB::serve(const Frame& frame)
{
    // Every frame passes here: the common case costs one load.
    if (!requested_.load(std::memory_order_relaxed))
        return Result::Ok;
    if (!requested_.exchange(false, std::memory_order_acq_rel))
        return Result::Ok; // another window's frame took it
    const QImage picture = pictureOf(frame);
    if (picture.isNull()) {
        // Nothing to write: leave the request for the next frame that has a picture.
        requested_.store(true, std::memory_order_release);
        return Result::InvalidPointer;
    }
    const int number = counter_.fetch_add(1, std::memory_order_relaxed);
    // The folder is joined, never substituted into: its path may hold "%1" or "%2" itself.
    const QString name = folder() + QStringLiteral("grab%1.bmp").arg(number);
    // A file that cannot be created loses this snapshot silently; the request is used up.
    camera::writeBmp24(name, picture);
    return Result::Ok;
}

CSampleGrabberCB::Result CSampleGrabberCB::bufferCB(const QVideoFrame& frame)
{
    return serve(frame);
}

CSampleGrabberCB::Result CSampleGrabberCB::bufferCB(const QImage& frame)
{
    return serve(frame);
}

QString CSampleGrabberCB::folder() const
{
    const std::lock_guard lock(folderLock_);
    return folder_;
}

void CSampleGrabberCB::setFolder(QString folder)
{
    const std::lock_guard lock(folderLock_);
    folder_ = std::move(folder);
}

int CSampleGrabberCB::snapshotCounter() const noexcept
{
    return counter_.load(std::memory_order_relaxed);
}
