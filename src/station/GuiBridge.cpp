#include "GuiBridge.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>

namespace station {

GuiBridge::GuiBridge(QObject* context) : context_(context) {}

bool GuiBridge::onGuiThread() const
{
    return QThread::currentThread() == context_->thread();
}

bool GuiBridge::closed() const
{
    std::lock_guard lock(mutex_);
    return closed_;
}

void GuiBridge::post(std::function<void()> fn)
{
    if (onGuiThread()) {
        if (!closed())
            fn();
        return;
    }
    QMetaObject::invokeMethod(
        context_,
        [this, fn = std::move(fn)] {
            if (!closed())
                fn();
        },
        Qt::QueuedConnection);
}

bool GuiBridge::call(std::function<void()> fn)
{
    if (onGuiThread()) {
        if (closed())
            return false;
        fn();
        return true;
    }
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
        pending_.push_back(pending);
    }
    QMetaObject::invokeMethod(
        context_,
        [this, pending, fn = std::move(fn)] {
            {
                std::lock_guard lock(mutex_);
                if (pending->cancelled)
                    return;
            }
            fn();
            std::lock_guard lock(mutex_);
            pending->done = true;
            wake_.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return pending->done || pending->cancelled; });
    std::erase(pending_, pending);
    return pending->done;
}

void GuiBridge::close()
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (const auto& pending : pending_)
        pending->cancelled = true;
    wake_.notify_all();
}

} // namespace station
