#pragma once

#include "HeadOperations.h"
#include "TestSetup.h"
#include "device/CUSBChannel.h"
#include "device/HidBus.h"
#include "device/StorageMap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A head that keeps configuration blocks and parameter memory and answers the block and memory
// commands, for the setup operation tests. It logs every report it receives, and the fixture
// puts the operations' pauses into the same log, so a test sees where each pause falls between
// the frames without waiting for it.
class MemoryHead {
public:
    struct Event {
        bool pause = false; // a 20 ms pause of the setup operations
        Report report{};
    };

    std::array<Payload, 256> blocks{};
    std::array<std::uint8_t, 65536> memory{};
    std::vector<Event> log;
    bool silent = false; // answers nothing (a head that stopped replying)
    int restarts = 0;
    std::mutex mutex;

    void setDeviceType(const std::string& type)
    {
        std::lock_guard lock(mutex);
        Payload& id = blocks[storage::IDENTITY_BLOCK];
        std::fill(id.begin() + 48, id.end(), 0);
        std::copy_n(type.begin(), std::min<std::size_t>(type.size(), 16), id.begin() + 48);
    }

    std::vector<Event> takeLog()
    {
        std::lock_guard lock(mutex);
        std::vector<Event> out;
        out.swap(log);
        return out;
    }

    // Header-led command frames as text, e.g. "R249" (ReadBlock), "W249", "r0x0100/64"
    // (ReadMemory), "w0x0100/26", "restart", "id" (identity), and "pause".
    std::vector<std::string> frames()
    {
        std::vector<std::string> out;
        const auto events = takeLog();
        for (std::size_t i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            if (e.pause) {
                out.emplace_back("pause");
                continue;
            }
            if (e.report[1] != 0xAA || e.report[2] != 0x55 || i + 1 > events.size())
                continue;
            const std::uint8_t code = e.report[3];
            const Report* next = i + 1 < events.size() ? &events[i + 1].report : nullptr;
            char text[32];
            switch (code) {
            case CUSBHardWare::kReadBlock:
            case CUSBHardWare::kWriteBlock:
                if (next && (*next)[1] == storage::IDENTITY_BLOCK && code == CUSBHardWare::kReadBlock)
                    std::snprintf(text, sizeof text, "id");
                else
                    std::snprintf(text, sizeof text, "%c%d", code == CUSBHardWare::kReadBlock ? 'R' : 'W',
                                  next ? (*next)[1] : -1);
                break;
            case CUSBHardWare::kReadMemory:
            case CUSBHardWare::kWriteMemory:
                std::snprintf(text, sizeof text, "%c%d/%d", code == CUSBHardWare::kReadMemory ? 'r' : 'w',
                              next ? ((*next)[1] << 8 | (*next)[2]) : -1, next ? (*next)[3] : -1);
                break;
            case CUSBHardWare::kRestart:
                std::snprintf(text, sizeof text, "restart");
                break;
            default:
                std::snprintf(text, sizeof text, "cmd%02X", code);
                break;
            }
            out.emplace_back(text);
        }
        return out;
    }

    // ---- the HID side ----
    void received(const Report& report, std::deque<Report>& replies)
    {
        std::lock_guard lock(mutex);
        log.push_back({false, report});
        if (pending_ == 0 && report[1] == 0xAA && report[2] == 0x55) {
            command_ = report[3];
            step_ = 0;
            pending_ = expectedReports(command_);
            if (command_ == CUSBHardWare::kRestart)
                ++restarts;
            return;
        }
        if (pending_ == 0)
            return;
        --pending_;
        ++step_;
        switch (command_) {
        case CUSBHardWare::kReadBlock:
            reply(replies, blocks[report[1]].data(), 64);
            break;
        case CUSBHardWare::kWriteBlock:
            if (step_ == 1)
                target_ = report[1];
            else
                std::copy_n(report.begin() + 1, 64, blocks[target_].begin());
            break;
        case CUSBHardWare::kReadMemory:
            reply(replies, memory.data() + address(report), report[3]);
            break;
        case CUSBHardWare::kWriteMemory:
            if (step_ == 1) {
                target_ = address(report);
                length_ = report[3];
            } else {
                std::copy_n(report.begin() + 1, length_, memory.begin() + target_);
            }
            break;
        default:
            break;
        }
    }

    void attachTo(CUSBChannel& device);

private:
    static int expectedReports(std::uint8_t code)
    {
        switch (code) {
        case CUSBHardWare::kReadBlock:
        case CUSBHardWare::kReadMemory:
            return 1;
        case CUSBHardWare::kWriteBlock:
        case CUSBHardWare::kWriteMemory:
            return 2;
        default:
            return 0;
        }
    }
    static int address(const Report& r) { return r[1] << 8 | r[2]; }
    void reply(std::deque<Report>& replies, const std::uint8_t* data, int length)
    {
        if (silent)
            return;
        Report r{};
        std::copy_n(data, std::min(length, 64), r.begin() + 1);
        replies.push_back(r);
    }

    std::uint8_t command_ = 0;
    int pending_ = 0;
    int step_ = 0;
    int target_ = 0;
    int length_ = 0;
};

class MemoryHeadHandle : public HidHandle {
public:
    explicit MemoryHeadHandle(MemoryHead& head) : head_(head) {}
    std::string path() const override { return "memory-head"; }
    bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        vendorId = 0;
        productId = 0;
        return true;
    }
    bool manufacturerString(std::u16string& text) override
    {
        text.clear();
        return true;
    }
    bool productString(std::u16string& text) override
    {
        text.clear();
        return true;
    }
    bool write(const std::uint8_t* data, std::size_t length) override
    {
        Report r{};
        std::copy_n(data, std::min(length, r.size()), r.begin());
        head_.received(r, replies_);
        return true;
    }
    int read(std::uint8_t* data, std::size_t length, int /*timeoutMs*/) override
    {
        if (replies_.empty())
            return 0;
        const Report r = replies_.front();
        replies_.pop_front();
        std::copy_n(r.begin(), std::min(length, r.size()), data);
        return static_cast<int>(std::min(length, r.size()));
    }

private:
    MemoryHead& head_;
    std::deque<Report> replies_; // used only under the device's transaction lock
};

inline void MemoryHead::attachTo(CUSBChannel& device)
{
    device.attach(std::make_unique<MemoryHeadHandle>(*this));
}

// A device object on a memory head, the setup images and the operations, with the pauses
// logged instead of waited for.
struct HeadFixture {
    MemoryHead head;
    CUSBChannel device;
    TestSetup setup;
    HeadOperations ops{device, setup};

    HeadFixture()
    {
        head.attachTo(device);
        device.setReplyTimeout(std::chrono::milliseconds(1));
        ops.setPause([this](std::chrono::milliseconds) {
            std::lock_guard lock(head.mutex);
            head.log.push_back({true, {}});
        });
    }
};
