#pragma once

#include "StationView.h"

#include <chrono>

class CUSBChannel;

namespace station {

// What the window says about a head that stays on the bus but stops answering. The acquisition
// loop watches the link; when no reply has come for kSilentAfter and the link is out of step,
// the caption and pane 0 say so, and when the head answers again they show the connected state.
class LinkStatus {
public:
    static constexpr std::chrono::seconds kSilentAfter{1};

    LinkStatus(const CUSBChannel& channel, StationView& view) : channel_(channel), view_(view) {}

    // True when the head has not answered for kSilentAfter and the link is still out of step.
    static bool headSilent(const CUSBChannel& channel, std::chrono::steady_clock::time_point now);

    // Shows the change, if any, since the last call. english: the language of the texts.
    void update(bool english);

    bool silentShown() const { return silentShown_; }

private:
    const CUSBChannel& channel_;
    StationView& view_;
    bool silentShown_ = false;
};

} // namespace station
