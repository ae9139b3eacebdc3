#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace station {

// Carries calls from worker threads onto the GUI thread. Calls made on the GUI thread itself run
// at once. A waiting call returns early once the bridge is closed, so a worker never holds up the
// window's close; the function it asked for is then never run.
class GuiBridge {
public:
    // context lives on the GUI thread; the posted functions run in its thread.
    explicit GuiBridge(QObject* context);
    GuiBridge(const GuiBridge&) = delete;
    GuiBridge& operator=(const GuiBridge&) = delete;

    bool onGuiThread() const;

    // Runs fn on the GUI thread without waiting (after the calls posted before it).
    void post(std::function<void()> fn);

    // Runs fn on the GUI thread and waits for it. Returns false when fn did not run because the
    // bridge was closed.
    bool call(std::function<void()> fn);

    // From now on nothing posted runs and every waiting call returns. GUI thread only.
    void close();
    bool closed() const;

private:
    struct Pending {
        bool done = false;
        bool cancelled = false;
    };

    QObject* context_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::shared_ptr<Pending>> pending_;
    bool closed_ = false;
};

} // namespace station
