#pragma once

#include "HidBus.h"
#include "Report.h"
#include "ReportTrace.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Result codes of FindHidDevice.
enum HidResult : int {
    HID_FOUND = 0,
    HID_STRING_UNREADABLE = 2,
    HID_NOT_FOUND = 3,
    // An interface with the ids is listed but could not be opened (no permission, held by
    // another program), and no other one matched.
    HID_NOT_ACCESSIBLE = 4,
};

struct HidFindResult {
    int code = HID_NOT_FOUND;
    std::unique_ptr<HidHandle> handle; // set only with HID_FOUND
    int openError = 0;                 // with HID_NOT_ACCESSIBLE: errno of the failed open, 0 unknown
};

// Finds the first interface on the bus with the given ids and, unless a text is null, the given
// manufacturer and product texts (compared after narrowing the UTF-16 strings to 8 bits).
HidFindResult FindHidDevice(HidBus& bus, std::uint16_t vendorId, const char* manufacturer,
                            std::uint16_t productId, const char* product);

// FindHidDevice with the test head's identifiers.
HidFindResult FindTester(HidBus& bus);

// Opens the test head: FindHidDevice with the head's identifiers; null unless found.
std::unique_ptr<HidHandle> OpenTester(HidBus& bus);

// A test head on the bus: opened, or listed with the head's ids but not accessible.
struct ListedTester {
    std::string path;
    std::unique_ptr<HidHandle> handle; // null when it could not be opened
    int openError = 0;                 // without a handle: errno of the failed open, 0 unknown
};

// Every test head on the bus (same identifiers as OpenTester), in enumeration order, opened
// where it can be; one that the system lists with the head's ids but cannot be opened (no
// permission, held by another program) is listed with the reason.
std::vector<ListedTester> ListTesters(HidBus& bus);

// Narrows UTF-16 text to 8 bits: units below 256 keep their value, every other unit becomes '?'.
std::string narrowUtf16(const std::u16string& text);

// The transport layer of the device object: one open handle and the last reply. Report I/O has
// no lock of its own; every call below is made by CUSBHardWare under its transaction lock. The
// path of the open handle has its own small lock, so any thread can read it at any time.
class hiddata {
public:
    // How long a read waits for a reply before the transaction gives up.
    static constexpr std::chrono::milliseconds kReplyTimeout{1000};
    // A wait for a reply looks at the calling thread's cancellation this often.
    static constexpr std::chrono::milliseconds kCancelPoll{20};

    // Makes the calling thread's exchanges with the head cancellable while it lives: once
    // cancelled() holds, every transaction of this thread fails at once without writing, and a
    // wait for a reply ends within kCancelPoll. Scopes nest; any enclosing scope cancels too.
    class CancelScope {
    public:
        explicit CancelScope(std::function<bool()> cancelled);
        ~CancelScope();
        CancelScope(const CancelScope&) = delete;
        CancelScope& operator=(const CancelScope&) = delete;

    private:
        friend class hiddata;
        std::function<bool()> cancelled_;
        const CancelScope* outer_;
    };
    // Whether the calling thread's work has been cancelled.
    static bool cancelRequested();

    hiddata() = default;
    virtual ~hiddata();
    hiddata(const hiddata&) = delete;
    hiddata& operator=(const hiddata&) = delete;

    // Every report written and read goes to this trace when set (null: no trace).
    void setTrace(std::shared_ptr<ReportTrace> trace);
    void setReplyTimeout(std::chrono::milliseconds timeout)
    {
        replyTimeoutMs_ = static_cast<int>(timeout.count());
    }
    std::chrono::milliseconds replyTimeout() const
    {
        return std::chrono::milliseconds(replyTimeoutMs_.load(std::memory_order_relaxed));
    }

    // True while a handle is open (it stays open across a removal until replaced).
    bool hasDevice() const { return hasDevice_.load(std::memory_order_acquire); }

protected:
    // The last input report read successfully: byte 0 the report id, bytes 1..64 the payload.
    Report replyBuffer{};

    // Replaces the open handle; the old one is closed. Caller holds both device locks.
    void replaceHandle(std::unique_ptr<HidHandle> handle);
    // Path of the open handle, empty when none. Never waits for a transaction.
    std::string handlePath() const;

    enum class ReadResult { Received, TimedOut, Failed, Cancelled };

    // Writes one report; false when there is no handle or the write failed.
    bool writeReport(const Report& report);
    // Reads one report into replyBuffer, waiting at most the reply time-out. On failure
    // replyBuffer keeps the previous reply.
    ReadResult readReport();
    // Reads one report into `into`, waiting at most `bound`; replyBuffer is left alone.
    ReadResult readReportInto(Report& into, std::chrono::milliseconds bound);
    // Drops input reports that are already waiting: a late reply to an earlier request must
    // never be taken as the reply to the next one.
    void discardLateReplies();
    // Drops input reports until none has come for `quiet`, giving up after `limit` in all.
    // Returns the number dropped, or -1 when the line never went quiet, the handle failed or
    // the work was cancelled.
    int drainUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

    std::shared_ptr<ReportTrace> trace() const { return trace_; }

private:
    std::unique_ptr<HidHandle> deviceHandle;
    std::atomic<bool> hasDevice_{false};
    mutable std::mutex pathMutex_; // guards path_ only
    std::string path_;
    std::shared_ptr<ReportTrace> trace_;
    std::atomic<int> replyTimeoutMs_{
        static_cast<int>(kReplyTimeout.count())}; // may change while a worker reads
};
