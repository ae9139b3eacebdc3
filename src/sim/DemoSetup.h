#pragma once

#include "HeadState.h"

#include <optional>
#include <string_view>

// The setup a simulated head starts with, so that the station has something to show without
// hardware: device type "TRIVELLAV2", a rows x cols grid of boards with `channels` channels
// each, their references, thresholds (reference +-10%) and board records, eight expansion
// boards at addresses 32..39, and panels that read near the references so that every board
// passes except one channel of the last board, which reads below its lower threshold.
//
// rows and cols are kept to 1..4, channels to 1..64. Replaces all stored data of the head.
void loadDemoSetup(HeadState& state, int rows, int cols, int channels);

// Grid of a demo setup, as the demo mode's command line gives it.
struct DemoGrid {
    int rows = 2;
    int cols = 2;
    int channels = 40;
    friend bool operator==(const DemoGrid&, const DemoGrid&) = default;
};

// "RxC" or "RxCxN" (rows and cols 1..4, channels 1..64; N defaults to 40); an empty text gives
// the default grid. Anything else gives nullopt.
std::optional<DemoGrid> parseDemoGrid(std::string_view text);

namespace demo {

inline constexpr std::uint8_t kFirstExpansionAddress = 32;
inline constexpr std::uint16_t kExpansionFirmware = 0x0108;
inline constexpr int kPanelNoise = 3;

// Reference count of a channel of board k in the demo setup.
std::uint16_t referenceCount(int board, int channel);

// The channel of the last board that fails, for a board with `channels` channels.
int defectChannel(int channels);

} // namespace demo
