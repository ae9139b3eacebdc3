#pragma once

#include "HeadProtocol.h"
#include "HeadState.h"
#include "device/FirmwareInfo.h"
#include "device/HidBus.h"
#include "device/Report.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A simulated test head: answers every command with the reports a real head sends, keeps its
// configuration blocks, parameter memory, control block and LCD lines, carries expansion boards
// with panels on their ports, restarts (leaves the bus and comes back), can be made to
// misbehave, and records every report it receives. It starts with the demo setup.
//
// Thread-safe: one internal mutex guards the whole state. Heads live on a SimBus, which hands
// out their handles; a handle keeps its head alive but dies when the head leaves the bus.
class SimHead {
public:
    struct Received {
        std::chrono::steady_clock::time_point at;
        Report report;
    };

    explicit SimHead(std::string path);
    ~SimHead();
    SimHead(const SimHead&) = delete;
    SimHead& operator=(const SimHead&) = delete;

    const std::string& path() const { return path_; }

    // Every report received while on the bus, oldest first (the most recent 100000 are kept).
    std::vector<Received> received() const;
    void clearReceived();

    Payload block(std::uint8_t n) const;
    void setBlock(std::uint8_t n, const Payload& data);
    // 64 KiB of parameter memory; ranges are cut at its end.
    std::vector<std::uint8_t> memory(std::uint16_t address, int length) const;
    void setMemory(std::uint16_t address, const std::uint8_t* data, int length);
    Payload controlBlock() const;
    void setControlBlock(const Payload& data);
    // 0: first line, 1: second line, as last shown with ShowText (up to the first NUL).
    std::string lcdLine(int line) const;

    FirmwareInfo firmwareInfo() const;
    void setFirmwareInfo(const FirmwareInfo& info);
    void setFirmwareVersion(std::uint16_t version);
    void setHardwareKind(bool hardware);

    // Expansion board `index` (0..7) sits at bus address `address`; each has eight ports.
    void setExpansionBoard(int index, std::uint8_t address, std::uint16_t firmwareVersion);
    // The panel on a port: per-channel base counts, read with +-noise.
    void setPanel(std::uint8_t address, int port, std::vector<std::uint16_t> baseCounts, int noise = 3);
    // That channel always reads `count`.
    void setChannelDefect(std::uint8_t address, int port, int channel, std::uint16_t count);

    // Replaces all stored data with the demo setup (see DemoSetup.h).
    void loadDemoSetup(int rows = 2, int cols = 2, int channels = 40);
    // Replaces all stored data with zeros, without boards or panels: a blank head.
    void clearSetup();

    // Faults.
    void setNoReply(bool on);                            // replies are never sent; reads time out
    void setReplyDelay(std::chrono::milliseconds delay); // replies become readable only after delay
    void vanishAfterReports(int n);                      // leaves the bus on the n-th report from now
    void setZeroCounts(bool on);                         // ReadCounts answers zeros
    // The replies to the next command with this code (and, when given, this memory address)
    // are lost; the command itself is carried out. One shot per call; calls queue up.
    void dropReplyTo(std::uint8_t command, std::optional<std::uint16_t> address = std::nullopt);
    void setRestartDelay(std::chrono::milliseconds delay); // time off the bus after Restart
    int restartCount() const;

    // --- Used by SimBus ---------------------------------------------------------------------
    // A new handle on this head; null while it is off the bus.
    static std::unique_ptr<HidHandle> openHandle(const std::shared_ptr<SimHead>& head);
    bool onBus() const;
    // Unplugging and plugging by hand; both cancel a pending return after a restart. The
    // notification (if the presence changed) has been delivered when they return.
    void unplug();
    void plug();
    // Gets every presence change in the order they happened: changes made by hand on the
    // caller's thread, changes the head makes by itself (restart, vanishing) on its own thread.
    void setPresenceListener(std::function<void(bool onBus)> listener);
    // Stops the head's thread and takes it off the bus for good (its bus is going away).
    void shutdown();

private:
    friend class SimHeadHandle;
    struct Port {
        std::uint64_t id;
        std::uint64_t epoch;
    };
    struct PendingReply {
        std::chrono::steady_clock::time_point readyAt;
        Report report;
    };

    std::optional<Port> openPort();
    void closePort(const Port& port);
    bool portAlive(const Port& port) const;
    bool write(const Port& port, const Report& report);
    int read(const Port& port, std::uint8_t* data, std::size_t length, int timeoutMs);

    bool portAliveLocked(const Port& port) const;
    bool takeReplyDrop(const HeadProtocol::Outcome& outcome); // with mutex_ held
    void leaveLocked();
    void deliverPresenceEvents();
    void runPresenceThread();

    const std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable replyReady_; // a reply was queued or the handles died
    HeadState state_;
    HeadProtocol protocol_;
    std::deque<Received> received_;

    bool noReply_ = false;
    std::chrono::milliseconds replyDelay_{0};
    int vanishCountdown_ = 0; // 0: off
    struct ReplyDrop {
        std::uint8_t command;
        std::optional<std::uint16_t> address;
    };
    std::vector<ReplyDrop> replyDrops_;
    std::chrono::milliseconds restartDelay_{300};
    int restartCount_ = 0;

    // Presence on the bus. Leaving bumps the epoch, which kills every handle opened before.
    bool onBus_ = true;
    std::uint64_t epoch_ = 0;
    std::uint64_t nextPortId_ = 1;
    std::map<std::uint64_t, std::deque<PendingReply>> replyQueues_; // by port id

    // Presence changes wait in one queue, delivered in order under deliveryMutex_ by whoever
    // comes first: the thread that plugged or unplugged, or the head's own thread, which
    // reports restarts and vanishing outside any transaction and brings the head back after a
    // restart. Re-entrant so that a listener may plug or unplug.
    std::recursive_mutex deliveryMutex_;
    std::condition_variable presenceWake_;
    std::deque<bool> presenceEvents_;
    std::optional<std::chrono::steady_clock::time_point> returnAt_;
    std::function<void(bool)> presenceListener_;
    bool stopping_ = false;
    std::thread presenceThread_; // last: starts once everything above is in place
};
