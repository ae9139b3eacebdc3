#pragma once

#include <cstdint>

// Where the head keeps the test setup: configuration blocks by number, the parameter memory
// map (board table, one 640-byte region per board) and the control block bytes the station
// drives.
namespace storage {

inline constexpr std::uint8_t SETTINGS_BLOCK = 249;
inline constexpr std::uint8_t IDENTITY_BLOCK = 254;
inline constexpr int kBlockSize = 64;
inline constexpr int kGlobalSettingsSize = 56; // bytes 0..55 of SETTINGS_BLOCK

// Identity block layout.
inline constexpr int kIdentityGuidOffset = 0;
inline constexpr int kIdentityGuidSize = 16;
inline constexpr int kIdentityBrandOffset = 32;
inline constexpr int kIdentityDeviceTypeOffset = 48;
inline constexpr int kIdentityTextSize = 16;

// Parameter memory.
inline constexpr std::uint16_t kBoardTableAddress = 0;
inline constexpr int kBoardTableEntries = 64;
inline constexpr int kBoardTableEntrySize = 4;
inline constexpr int kBoardTableSize = kBoardTableEntries * kBoardTableEntrySize; // 256
inline constexpr int kMemoryTransfer = 64;

inline constexpr std::uint16_t kBoardRegionBase = 256;
inline constexpr int kBoardRegionSize = 640;
inline constexpr int kMaxChannels = 64;

// Offsets inside a board region.
inline constexpr int kReferenceOffset = 0;
inline constexpr int kThresholdHighOffset = 128;
inline constexpr int kThresholdLowOffset = 256;
inline constexpr int kMaskOffset = 384;
inline constexpr int kOrderOffset = 448;
inline constexpr int kRecordOffset = 512;
inline constexpr int kBoardRecordSize = 26;

constexpr std::uint16_t boardRegionAddress(int boardIndex)
{
    return static_cast<std::uint16_t>(kBoardRegionBase + kBoardRegionSize * boardIndex);
}
constexpr std::uint16_t boardTableEntryAddress(int entry)
{
    return static_cast<std::uint16_t>(kBoardTableAddress + kBoardTableEntrySize * entry);
}
constexpr std::uint16_t referenceAddress(int k)
{
    return boardRegionAddress(k) + kReferenceOffset;
}
constexpr std::uint16_t thresholdHighAddress(int k)
{
    return boardRegionAddress(k) + kThresholdHighOffset;
}
constexpr std::uint16_t thresholdLowAddress(int k)
{
    return boardRegionAddress(k) + kThresholdLowOffset;
}
constexpr std::uint16_t maskAddress(int k)
{
    return boardRegionAddress(k) + kMaskOffset;
}
constexpr std::uint16_t orderAddress(int k)
{
    return boardRegionAddress(k) + kOrderOffset;
}
constexpr std::uint16_t boardRecordAddress(int k)
{
    return boardRegionAddress(k) + kRecordOffset;
}

static_assert(boardRegionAddress(15) == 9856);
static_assert(boardRecordAddress(15) == 10368);
static_assert(boardRecordAddress(63) + kBoardRecordSize - 1 == 41113);

// Control block bytes.
inline constexpr int kControlStartup = 1; // 1 during start-up, 0 at close
inline constexpr int kControlByte5 = 5;   // 0 at close
inline constexpr int kControlLedFail = 6;
inline constexpr int kControlLedPass = 7;
inline constexpr int kControlBuzzer = 8;
inline constexpr int kControlLcdFollows = 9; // 1 before LCD text follows

} // namespace storage
