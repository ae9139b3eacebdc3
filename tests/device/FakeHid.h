#pragma once

#include "device/HidBus.h"
#include "device/Report.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

// A scripted HID interface for the transport tests: records what is written (with times) and
// answers reads from a queue. A reply can be made to appear only after a delay, to play a
// head that answers late.
class FakeHandle : public HidHandle {
public:
    struct Written {
        std::chrono::steady_clock::time_point at;
        Report report;
    };

    struct State {
        std::mutex mutex;
        std::condition_variable ready;
        std::vector<Written> written;
        std::deque<std::pair<std::chrono::steady_clock::time_point, Report>> replies;
        // Replies scripted by the test: they become readable at the next write (plus their
        // delay), so a reply belongs to the request that follows its scripting.
        std::deque<std::pair<std::chrono::milliseconds, Report>> scripted;
        // Answers chosen by what was written (called for every write).
        std::function<std::vector<Report>(const Report&)> responder;
        // When set, every write queues this many automatic replies (payload byte 1 = a running number).
        int autoReplies = 0;
        std::uint8_t nextTag = 1;
        int reads = 0;
    };

    FakeHandle(std::string path, std::uint16_t vid, std::uint16_t pid,
               std::optional<std::u16string> manufacturer, std::optional<std::u16string> product,
               std::shared_ptr<State> state)
        : path_(std::move(path)), vid_(vid), pid_(pid), manufacturer_(std::move(manufacturer)),
          product_(std::move(product)), state_(std::move(state))
    {
    }

    std::string path() const override { return path_; }
    bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        vendorId = vid_;
        productId = pid_;
        return true;
    }
    bool manufacturerString(std::u16string& text) override { return get(manufacturer_, text); }
    bool productString(std::u16string& text) override { return get(product_, text); }

    bool write(const std::uint8_t* data, std::size_t length) override
    {
        std::lock_guard lock(state_->mutex);
        Written w{std::chrono::steady_clock::now(), {}};
        std::copy_n(data, std::min(length, w.report.size()), w.report.begin());
        state_->written.push_back(w);
        for (const auto& [delay, reply] : state_->scripted)
            state_->replies.emplace_back(w.at + delay, reply);
        state_->scripted.clear();
        if (state_->responder)
            for (const Report& reply : state_->responder(w.report))
                state_->replies.emplace_back(w.at, reply);
        for (int i = 0; i < state_->autoReplies; ++i) {
            Report reply{};
            reply[1] = state_->nextTag++;
            state_->replies.emplace_back(std::chrono::steady_clock::now(), reply);
        }
        state_->ready.notify_all();
        return true;
    }

    int read(std::uint8_t* data, std::size_t length, int timeoutMs) override
    {
        std::unique_lock lock(state_->mutex);
        if (timeoutMs > 0)
            ++state_->reads; // polls that drain stale replies are not counted
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            const auto now = std::chrono::steady_clock::now();
            if (!state_->replies.empty() && state_->replies.front().first <= now) {
                const Report r = state_->replies.front().second;
                state_->replies.pop_front();
                std::copy_n(r.begin(), std::min(length, r.size()), data);
                return static_cast<int>(std::min(length, r.size()));
            }
            if (now >= deadline)
                return 0;
            auto wakeAt = deadline;
            if (!state_->replies.empty())
                wakeAt = std::min(wakeAt, state_->replies.front().first);
            state_->ready.wait_until(lock, wakeAt);
        }
    }

private:
    static bool get(const std::optional<std::u16string>& source, std::u16string& text)
    {
        if (!source)
            return false;
        text = *source;
        return true;
    }

    std::string path_;
    std::uint16_t vid_;
    std::uint16_t pid_;
    std::optional<std::u16string> manufacturer_;
    std::optional<std::u16string> product_;
    std::shared_ptr<State> state_;
};

class FakeBus : public HidBus {
public:
    struct Device {
        std::string path;
        std::uint16_t vid = 0;
        std::uint16_t pid = 0;
        std::optional<std::u16string> manufacturer;
        std::optional<std::u16string> product;
        bool openable = true;
        int openError = 0; // errno of a failed open; with it set, the ids are listed as well
        std::shared_ptr<FakeHandle::State> state = std::make_shared<FakeHandle::State>();
    };

    Device& add(Device device)
    {
        devices.push_back(std::move(device));
        return devices.back();
    }

    std::vector<std::string> enumerate() override
    {
        std::vector<std::string> paths;
        for (const auto& d : devices)
            paths.push_back(d.path);
        return paths;
    }

    std::unique_ptr<HidHandle> open(const std::string& path) override
    {
        for (const auto& d : devices)
            if (d.path == path && d.openable)
                return std::make_unique<FakeHandle>(d.path, d.vid, d.pid, d.manufacturer, d.product, d.state);
        return nullptr;
    }

    std::unique_ptr<HidHandle> tryOpen(const std::string& path, int& error) override
    {
        error = 0;
        for (const auto& d : devices)
            if (d.path == path && !d.openable)
                error = d.openError;
        return open(path);
    }

    bool listedIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        for (const auto& d : devices)
            if (d.path == path && (d.openable || d.openError != 0)) {
                vendorId = d.vid;
                productId = d.pid;
                return true;
            }
        return false;
    }

    std::deque<Device> devices;
};
