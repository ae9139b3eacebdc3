#pragma once

#include "HeadState.h"

// The setup a simulated head starts with, so that the station has something to show without
// hardware: device type "TRIVELLAV2", a rows x cols grid of boards with `channels` channels
// each, their references, thresholds (reference +-10%) and board records, eight expansion
// boards at addresses 32..39, and panels that read near the references so that every board
// passes except one channel of the last board, which reads below its lower threshold.
//
// rows and cols are kept to 1..4, channels to 1..64. Replaces all stored data of the head.
void loadDemoSetup(HeadState& state, int rows, int cols, int channels);

namespace demo {

inline constexpr std::uint8_t kFirstExpansionAddress = 32;
inline constexpr std::uint16_t kExpansionFirmware = 0x0108;
inline constexpr int kPanelNoise = 3;

// Reference count of a channel of board k in the demo setup.
std::uint16_t referenceCount(int board, int channel);

// The channel of the last board that fails, for a board with `channels` channels.
int defectChannel(int channels);

} // namespace demo
