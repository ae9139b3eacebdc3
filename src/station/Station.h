#pragma once

#include "StationContext.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace station {

// A head that is plugged in but cannot be opened (errno `error` of the open, 0 unknown): the
// reason in the operator's words and the remedy, as the window and the tool say it.
std::string headNotAccessibleText(int error, bool english);
// The reason alone: "permission denied", "busy", ...
std::string headNotAccessibleReason(int error, bool english);

// The station's life with a head: opening it at start and on every arrival, the start-up worker
// (greeting, connection set-up, device-type and firmware checks), the acquisition worker,
// removal and close.
//
// At most one start-up worker and one acquisition loop run at a time. An arrival while the
// connected head is still present, or while a start-up is under way, starts nothing; an arrival
// after the head went away starts a new start-up worker, which first waits for the previous
// workers to end. Workers are owned here and joined at close.
//
// Methods marked GUI run on the GUI thread; the rest may run anywhere.
class Station {
public:
    explicit Station(StationContext& context) : ctx_(context) {}
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // GUI. Window initialisation: disconnected panes, greyed menus, then the first attempt to open
    // the head; with a head the start-up worker starts.
    void initialise();

    // GUI. A HID device arrived or was removed (path empty when unknown).
    void onArrival(const std::string& path);
    void onRemoval(const std::string& path);

    // GUI. The delay after a removal or a lost head has passed: show the disconnected state unless
    // the head has been opened again since. A head still on the bus that stopped answering is shown
    // as not answering instead, and the start-up is tried again.
    void disconnectTimerFired();

    // The connection set-up; on the start-up worker, or on the GUI thread for a language switch.
    // cancelled() is asked between boards of the board loading.
    enum class SetupResult { Done, GridRefused, Lost, Ended, Stopped };
    SetupResult connectionSetup(const std::function<bool()>& cancelled);
    SetupResult connectionSetup()
    {
        return connectionSetup([this] { return ctx_.flags.stopping(); });
    }

    // GUI. Stops every worker and waits for them, then switches the head's outputs off and shows
    // the closing line. Safe to call more than once.
    void close();

    // True once the process was asked to end from a worker (unsupported type, old firmware):
    // then the close sequence is not sent.
    bool ended() const { return ended_.load(); }

    // For tests: whether the workers are running.
    bool startupRunning() const { return activeStartups_.load() > 0; }
    bool loopRunning() const { return loopActive_.load(); }

    // Applies the disconnected look of the status panes and empties the grid.
    void showDisconnectedPanes();

private:
    using Token = std::shared_ptr<std::atomic<bool>>;

    // How a start-up begins: with the head already open (the window's first start), by opening
    // it (a head arrived), or by opening again a head that stays on the bus without answering;
    // that one shows nothing of a connection until the head answers.
    enum class Opening { AlreadyOpen, Open, OpenSilent };
    void launchStartup(Opening opening);
    void startupWorker(const Token& token, Opening opening);
    // The state of a head that is gone: caption, panes, no progress, greyed menus.
    void showDisconnected();
    // Caption and pane 0 tell that the head is on the bus but does not answer.
    void showHeadSilent();
    // Opens the head for a start-up; when a head is listed but cannot be opened, says so.
    bool openHead(const Token& token);
    // Caption and pane 0 tell that the head is present but cannot be opened (errno `error`) and
    // what to do; a message tells it too, once until a head has been opened.
    void showHeadNotAccessible(int error);
    // The state of a start without a head (after the unopenable head has gone).
    void showNoHead();
    bool greet(const Token& token);
    void startLoop(const Token& token);
    void joinPreviousLoop();
    // The head vanished or stopped answering: stop the loop and show the disconnected state in 2 s.
    void markHeadLost();
    bool headStillPresent();
    bool cancelled(const Token& token) const { return ctx_.flags.stopping() || token->load(); }
    void joinWorkers();

    StationContext& ctx_;

    std::mutex threadsMutex_;
    std::thread startup_;
    std::thread loop_;

    // Guards the connection generation against the delayed disconnected state.
    std::mutex stateMutex_;
    unsigned connectGeneration_ = 0;
    unsigned removalGeneration_ = 0;
    Token currentToken_ = std::make_shared<std::atomic<bool>>(false);
    bool openPending_ = false; // a start-up worker is still looking for the head
    bool rescan_ = false;      // a device arrived meanwhile: look once more

    std::atomic<int> activeStartups_{0};
    std::atomic<bool> loopActive_{false};
    std::atomic<bool> headUp_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> closed_{false};
    std::atomic<bool> notAccessibleTold_{false};  // the message was shown since the last connection
    std::atomic<bool> notAccessibleShown_{false}; // caption and pane 0 explain an unopenable head
};

} // namespace station
