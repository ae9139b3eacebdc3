#pragma once

#include <cstdint>

// The value of one entry of a board's mask array: how a channel is judged and drawn.
enum class ChannelMode : std::uint8_t {
    Open = 0,      // judged against both thresholds
    Closed = 1,    // not judged, drawn covered
    Masked = 2,    // not judged, drawn in the mask colour
    LowerOnly = 4, // judged only against the lower threshold
    UpperOnly = 8, // judged only against the upper threshold
};
