#pragma once

#include "FakeHid.h"
#include "device/CUSBChannel.h"
#include "device/DeviceIds.h"

#include <initializer_list>

// A report whose bytes 1.. are the given values and the rest 0.
inline Report reportOf(std::initializer_list<std::uint8_t> bytesFromOne)
{
    Report r{};
    std::size_t i = 1;
    for (std::uint8_t b : bytesFromOne)
        r[i++] = b;
    return r;
}

inline Report withText(Report r, std::size_t at, std::string_view text)
{
    for (char c : text)
        r[at++] = static_cast<std::uint8_t>(c);
    return r;
}

// A device object attached to one scripted head that answers every report it is sent with
// `autoReplies` replies (0: the test queues replies itself).
struct AttachedChannel {
    explicit AttachedChannel(int autoReplies = 0)
    {
        FakeBus::Device& d = bus.add({"/dev/hidraw0", tester::kVendorId, tester::kProductId, u"KestrelTestWork",
                                      u"KestrelProbeV4"});
        state = d.state;
        state->autoReplies = autoReplies;
        channel.setReplyTimeout(std::chrono::milliseconds(100));
        channel.openTester(bus);
    }

    std::vector<Report> written() const
    {
        std::lock_guard lock(state->mutex);
        std::vector<Report> out;
        for (const auto& w : state->written)
            out.push_back(w.report);
        return out;
    }

    void queueReply(const Report& r, std::chrono::milliseconds delay = std::chrono::milliseconds(0))
    {
        std::lock_guard lock(state->mutex);
        state->scripted.emplace_back(delay, r);
    }

    int reads() const
    {
        std::lock_guard lock(state->mutex);
        return state->reads;
    }

    FakeBus bus;
    std::shared_ptr<FakeHandle::State> state;
    CUSBChannel channel;
};
