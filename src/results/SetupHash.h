#pragma once

#include "BoardRecord.h"
#include "BoardTable.h"
#include "Channels.h"
#include "GlobalSettings.h"

#include <optional>
#include <string>
#include <vector>

class HeadOperations;

// The head's setup as read for a test run: what decides a verdict, byte for byte as stored on
// the head, so that the same setup gives the same hash on every station.
struct SetupImage {
    struct Board {
        ChannelValues reference{};
        ChannelValues thresholdHigh{};
        ChannelValues thresholdLow{};
        ChannelBytes mask{};
        ChannelBytes order{};
        BoardRecord record;
    };

    GlobalSettings global;
    BoardTable boardTable;
    std::vector<Board> boards; // board indexes 0, 1, ... of the shown grid
};

// SHA-256 over: the 56 global bytes, the 256 board table bytes, then per board in index order
// reference, thresholdHigh and thresholdLow (64 little-endian 16-bit values each), mask and
// order (64 bytes each) and the 26 record bytes. 64 lower-case hex digits.
std::string setupHash(const SetupImage& image);

// Reads the image from the head: the global settings, the board table, and every board of the
// gridRows x gridCols grid. nullopt when a reply did not arrive (a hash of a half-read setup
// would claim a setup that never was).
std::optional<SetupImage> readSetupImage(HeadOperations& head);
