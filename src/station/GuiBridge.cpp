#include "GuiBridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <algorithm>

namespace station {

namespace {

// An event that carries one function to the GUI thread.
class FunctionEvent : public QEvent {
public:
    static QEvent::Type type()
    {
        static const auto kType = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kType;
    }
    explicit FunctionEvent(std::function<void()> fn) : QEvent(type()), fn_(std::move(fn)) {}
    void run() { fn_(); }

private:
    std::function<void()> fn_;
};

} // namespace

class GuiBridge::Relay : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() != FunctionEvent::type())
            return QObject::event(event);
        static_cast<FunctionEvent*>(event)->run();
        return true;
    }
};

GuiBridge::GuiBridge(QObject* context) : context_(context), relay_(std::make_unique<Relay>())
{
    relay_->moveToThread(context->thread());
}

GuiBridge::~GuiBridge() = default;

void GuiBridge::postToGui(std::function<void()> fn)
{
    // The event queue owns the event from here on; events still queued go with the relay.
    QCoreApplication::postEvent(relay_.get(), new FunctionEvent(std::move(fn)));
}

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
    postToGui([this, fn = std::move(fn)] {
        if (!closed())
            fn();
    });
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
    postToGui([this, pending, fn = std::move(fn)] {
        {
            std::lock_guard lock(mutex_);
            if (pending->cancelled)
                return;
        }
        fn();
        std::lock_guard lock(mutex_);
        pending->done = true;
        wake_.notify_all();
    });

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
