#pragma once

#include "PendingRuns.h"
#include "ResultRecords.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class ResultsStore;

// Writes test runs to the results file on its own thread, so that neither the acquisition
// cycle nor the window ever waits for the disk. Runs are written in the order submitted. When
// the file cannot be opened, stays locked past the busy time-out or a write fails (disk full,
// read-only), the runs stay queued in memory, the problem is reported once, and the writer
// tries again every retry interval until they land; nothing is dropped while the writer lives.
//
// When the writer stops, it makes one last attempt (bounded by the busy time-out) and keeps
// the runs that still cannot be written in the pending file beside the results file; when it
// starts, it first writes in the runs a pending file holds (see PendingRuns.h).
class ResultsWriter {
public:
    using Opener = std::function<std::unique_ptr<ResultsStore>()>;
    struct Callbacks {
        // Once per outage, on the writer thread: what went wrong and how many runs wait.
        std::function<void(const std::string& reason, std::size_t waiting)> problem;
        // After an outage, once every waiting run has landed.
        std::function<void()> recovered;
        // After each run written.
        std::function<void(const TestRun&)> written;
        // At the start, once a pending file left by an earlier exit has been written in (or
        // found damaged).
        std::function<void(const PendingWriteIn&)> pendingWrittenIn;
        // When the writer stops with runs it could not write: where they were kept, or why not.
        std::function<void(const PendingKept&)> keptAtExit;
    };
    struct Options {
        std::chrono::milliseconds retryInterval{2000};
        std::chrono::milliseconds busyTimeout{2000};
    };

    ResultsWriter(std::filesystem::path file, Callbacks callbacks, Options options);
    // Tests open the store their own way (a read-only connection, for example); the pending
    // file is the one of `file`, or none when it is empty.
    ResultsWriter(std::filesystem::path file, Opener opener, Callbacks callbacks, Options options);
    ResultsWriter(Opener opener, Callbacks callbacks, Options options);
    // Makes a last attempt at the waiting runs, keeps those still waiting in the pending file,
    // then stops the thread.
    ~ResultsWriter();
    ResultsWriter(const ResultsWriter&) = delete;
    ResultsWriter& operator=(const ResultsWriter&) = delete;

    void submit(TestRun run);
    // Runs submitted and not yet written.
    std::size_t waiting() const;
    // Wakes the writer for an attempt now instead of at the next retry.
    void retryNow();
    // Waits until nothing is waiting (a pending file included) and the callbacks of the last write have run;
    // false when the time ran out first.
    bool waitUntilWritten(std::chrono::milliseconds timeout);

    const std::filesystem::path& file() const { return file_; }
    const std::filesystem::path& pendingFile() const { return pendingFile_; }

private:
    void run();
    // Writes in the pending file, then what waits; false after a failure (the run that failed
    // stays first in line).
    bool writeWaiting(std::unique_lock<std::mutex>& lock);
    // How long the next statement may wait for another program's lock: the busy time-out, and
    // in the last attempt what is left of it, so that a stop never waits longer.
    std::chrono::milliseconds busyBudget() const;
    // After the last attempt: the runs still waiting go to the pending file.
    void keepWaiting(std::unique_lock<std::mutex>& lock);

    std::filesystem::path file_;
    std::filesystem::path pendingFile_;
    Opener opener_;
    Callbacks callbacks_;
    Options options_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable drained_;
    std::deque<TestRun> queue_;
    bool stopping_ = false;
    bool retryRequested_ = false;
    bool inOutage_ = false;
    bool pendingCheck_ = false; // a pending file may wait to be written in
    std::string lastFailure_;
    bool idle_ = true;                    // false while the writer works through the queue and its callbacks
    std::unique_ptr<ResultsStore> store_; // used on the writer thread only
    std::optional<std::chrono::steady_clock::time_point> lastAttemptEnds_; // writer thread only
    std::thread thread_;
};
