#include "ResultsWriter.h"

#include "ResultsStore.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>
#include <vector>

ResultsWriter::ResultsWriter(std::filesystem::path file, Callbacks callbacks, Options options)
    : file_(std::move(file)), pendingFile_(pendingRunsFile(file_)), callbacks_(std::move(callbacks)),
      options_(options), pendingCheck_(true)
{
    opener_ = [this] {
        ResultsStore::Options storeOptions;
        storeOptions.busyTimeout = busyBudget();
        return std::make_unique<ResultsStore>(file_, storeOptions);
    };
    thread_ = std::thread([this] { run(); });
}

ResultsWriter::ResultsWriter(std::filesystem::path file, Opener opener, Callbacks callbacks, Options options)
    : file_(std::move(file)), pendingFile_(file_.empty() ? file_ : pendingRunsFile(file_)),
      opener_(std::move(opener)), callbacks_(std::move(callbacks)), options_(options),
      pendingCheck_(!file_.empty())
{
    thread_ = std::thread([this] { run(); });
}

ResultsWriter::ResultsWriter(Opener opener, Callbacks callbacks, Options options)
    : ResultsWriter(std::filesystem::path(), std::move(opener), std::move(callbacks), options)
{
}

ResultsWriter::~ResultsWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ResultsWriter::submit(TestRun run)
{
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(run));
    }
    wake_.notify_all();
}

std::size_t ResultsWriter::waiting() const
{
    const std::lock_guard lock(mutex_);
    return queue_.size();
}

void ResultsWriter::retryNow()
{
    {
        const std::lock_guard lock(mutex_);
        retryRequested_ = true;
    }
    wake_.notify_all();
}

bool ResultsWriter::waitUntilWritten(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, timeout, [this] { return queue_.empty() && !pendingCheck_ && idle_; });
}

void ResultsWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty() || pendingCheck_; });
        const bool stopping = stopping_;
        if (stopping)
            lastAttemptEnds_ = std::chrono::steady_clock::now() + options_.busyTimeout;
        idle_ = false;
        const bool allWritten = writeWaiting(lock);
        idle_ = true;
        drained_.notify_all();
        if (!allWritten && !stopping) {
            // A stop that came during this attempt makes it the last one: no second wait.
            if (stopping_)
                break;
            // Wait out the retry interval; a stop or retryNow() ends the wait early.
            wake_.wait_for(lock, options_.retryInterval, [this] { return stopping_ || retryRequested_; });
            retryRequested_ = false;
            continue;
        }
        if (stopping)
            break;
    }
    if (!queue_.empty())
        keepWaiting(lock);
    store_.reset();
}

std::chrono::milliseconds ResultsWriter::busyBudget() const
{
    if (!lastAttemptEnds_)
        return options_.busyTimeout;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*lastAttemptEnds_ -
                                                                            std::chrono::steady_clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

void ResultsWriter::keepWaiting(std::unique_lock<std::mutex>& lock)
{
    const std::vector<TestRun> runs(queue_.begin(), queue_.end());
    PendingKept outcome;
    outcome.file = pendingFile_;
    outcome.count = runs.size();
    outcome.writeFailure = lastFailure_;
    lock.unlock();
    if (pendingFile_.empty())
        outcome.keepFailure = "no pending file for this writer";
    else
        try {
            outcome.kept = appendPendingRuns(pendingFile_, runs, &outcome.keepFailure);
        } catch (const std::exception& error) {
            outcome.keepFailure = error.what();
        }
    lock.lock();
    if (outcome.kept)
        queue_.clear();
    lock.unlock();
    if (callbacks_.keptAtExit)
        callbacks_.keptAtExit(outcome);
    lock.lock();
}

bool ResultsWriter::writeWaiting(std::unique_lock<std::mutex>& lock)
{
    while (pendingCheck_ || !queue_.empty()) {
        // Runs kept at an earlier exit go in first, so that the file keeps the order of testing.
        const bool writingIn = pendingCheck_;
        TestRun next;
        if (!writingIn)
            next = queue_.front(); // copied out so that submit() never waits for the disk
        lock.unlock();
        std::error_code noFile;
        if (writingIn && !std::filesystem::exists(pendingFile_, noFile) && !noFile) {
            // Nothing kept: the results file is opened only when a run comes.
            lock.lock();
            pendingCheck_ = false;
            continue;
        }
        std::string failure;
        PendingWriteIn writtenIn;
        try {
            if (!store_)
                store_ = opener_();
            if (lastAttemptEnds_)
                store_->database().setBusyTimeout(busyBudget());
            if (writingIn)
                writtenIn = writeInPendingRuns(*store_, pendingFile_);
            else
                store_->write(next);
        } catch (const std::exception& error) {
            failure = error.what();
            // Open afresh next time: a file made writable again, or a folder created, is seen
            // only by a new connection.
            store_.reset();
        }
        const std::size_t keptWaiting = writingIn && !failure.empty() ? pendingRunCount(pendingFile_) : 0;
        lock.lock();
        if (!failure.empty()) {
            lastFailure_ = failure;
            if (!inOutage_) {
                inOutage_ = true;
                const auto waiting = queue_.size() + keptWaiting;
                lock.unlock();
                if (callbacks_.problem)
                    callbacks_.problem(failure, waiting);
                lock.lock();
            }
            return false;
        }
        if (writingIn) {
            // Written in, or damaged and left for a person: either way not tried again now.
            pendingCheck_ = false;
            lock.unlock();
            if (callbacks_.pendingWrittenIn)
                callbacks_.pendingWrittenIn(writtenIn);
            lock.lock();
            continue;
        }
        queue_.pop_front();
        lock.unlock();
        if (callbacks_.written)
            callbacks_.written(next);
        lock.lock();
    }
    if (inOutage_) {
        inOutage_ = false;
        lock.unlock();
        if (callbacks_.recovered)
            callbacks_.recovered();
        lock.lock();
    }
    return true;
}
