#include "ResultsWriter.h"

#include "ResultsStore.h"

#include <exception>
#include <utility>

ResultsWriter::ResultsWriter(std::filesystem::path file, Callbacks callbacks, Options options)
    : file_(std::move(file)), callbacks_(std::move(callbacks)), options_(options)
{
    opener_ = [this] {
        ResultsStore::Options storeOptions;
        storeOptions.busyTimeout = options_.busyTimeout;
        return std::make_unique<ResultsStore>(file_, storeOptions);
    };
    thread_ = std::thread([this] { run(); });
}

ResultsWriter::ResultsWriter(Opener opener, Callbacks callbacks, Options options)
    : opener_(std::move(opener)), callbacks_(std::move(callbacks)), options_(options)
{
    thread_ = std::thread([this] { run(); });
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
    return drained_.wait_for(lock, timeout, [this] { return queue_.empty() && idle_; });
}

void ResultsWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        const bool stopping = stopping_;
        idle_ = false;
        const bool allWritten = writeWaiting(lock);
        idle_ = true;
        drained_.notify_all();
        if (!allWritten && !stopping) {
            // Wait out the retry interval; a stop or retryNow() ends the wait early.
            wake_.wait_for(lock, options_.retryInterval, [this] { return stopping_ || retryRequested_; });
            retryRequested_ = false;
            continue;
        }
        if (stopping)
            break;
    }
    store_.reset();
}

bool ResultsWriter::writeWaiting(std::unique_lock<std::mutex>& lock)
{
    while (!queue_.empty()) {
        // The run is copied out so that submit() never waits for the disk.
        TestRun next = queue_.front();
        lock.unlock();
        std::string failure;
        try {
            if (!store_)
                store_ = opener_();
            store_->write(next);
        } catch (const std::exception& error) {
            failure = error.what();
            // Open afresh next time: a file made writable again, or a folder created, is seen
            // only by a new connection.
            store_.reset();
        }
        lock.lock();
        if (!failure.empty()) {
            if (!inOutage_) {
                inOutage_ = true;
                const auto waiting = queue_.size();
                lock.unlock();
                if (callbacks_.problem)
                    callbacks_.problem(failure, waiting);
                lock.lock();
            }
            return false;
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
