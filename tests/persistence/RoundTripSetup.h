#pragma once

#include "BoardRecord.h"
#include "device/Report.h"
#include "device/StorageMap.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

// The storage of a head as a test sees it, so that one round-trip scenario runs against the
// memory-backed head and the simulated head alike.
class HeadStorage {
public:
    virtual ~HeadStorage() = default;
    virtual Payload block(std::uint8_t n) = 0;
    virtual void setBlock(std::uint8_t n, const Payload& data) = 0;
    virtual std::vector<std::uint8_t> memory(int address, int length) = 0;
    virtual void setMemory(int address, const std::vector<std::uint8_t>& data) = 0;
};

struct BoardPlan {
    int channels;
    bool customOrder;
    bool pearson;
};

// A whole setup: the head's settings block, its board table and every board's region.
struct StoredSetup {
    Payload block{};
    std::vector<std::uint8_t> table;
    std::vector<std::vector<std::uint8_t>> regions; // bytes 0..537 of each board region

    static StoredSetup read(HeadStorage& head, int boards)
    {
        StoredSetup s;
        s.block = head.block(storage::SETTINGS_BLOCK);
        s.table = head.memory(0, 256);
        s.regions.reserve(static_cast<std::size_t>(boards));
        for (int k = 0; k < boards; ++k)
            s.regions.push_back(head.memory(storage::boardRegionAddress(k), 538));
        return s;
    }
};

// Writes a rows x cols setup of the given boards with random values, reserved bytes and bits
// set, every lock bit clear. Arrays hold values for the board's channels and zeros beyond, as
// every writer of the station leaves them.
inline void writeSetup(HeadStorage& head, int rows, int cols, const std::vector<BoardPlan>& boards,
                       unsigned seed)
{
    std::mt19937 rng(seed);
    auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
    Payload block{};
    for (auto& b : block)
        b = byte();
    block[1] = 0xC0; // every lock bit clear, reserved bits 6 and 7 set
    block[25] = static_cast<std::uint8_t>(cols);
    block[26] = static_cast<std::uint8_t>(rows);
    head.setBlock(storage::SETTINGS_BLOCK, block);

    std::vector<std::uint8_t> table = head.memory(0, 256);
    for (std::size_t k = 0; k < boards.size(); ++k) {
        const BoardPlan& plan = boards[k];
        const int n = std::min(plan.channels, 64);
        const auto kk = static_cast<int>(k);
        table[4 * k] = static_cast<std::uint8_t>((k % 4) << 4 | (k / 4));
        table[4 * k + 1] = static_cast<std::uint8_t>(plan.channels);
        table[4 * k + 2] = static_cast<std::uint8_t>(k % 8);
        table[4 * k + 3] = static_cast<std::uint8_t>(7 - k % 8);

        std::vector<std::uint8_t> region(538, 0);
        const auto used = static_cast<std::size_t>(n);
        for (std::size_t i = 0; i < used; ++i) {
            const auto word = static_cast<std::uint16_t>(40000 + rng() % 25000);
            for (std::size_t a = 0; a < 3; ++a) {
                region[128 * a + 2 * i] = static_cast<std::uint8_t>(word & 0xFF);
                region[128 * a + 2 * i + 1] = static_cast<std::uint8_t>((word >> 8) + a);
            }
            static constexpr std::array<std::uint8_t, 5> kModes = {0, 1, 2, 4, 8};
            region[384 + i] = kModes[rng() % kModes.size()];
        }
        for (std::size_t i = 0; i < 64; ++i)
            region[448 + i] = static_cast<std::uint8_t>(plan.customOrder ? (i < used ? used - 1 - i : 0) : i);
        BoardRecord r;
        r.boardFlags = static_cast<std::uint8_t>(0xA8 | (k % 2 ? BoardRecord::PercentMode : 0));
        r.setFlag(BoardRecord::OrderEnable, plan.customOrder);
        r.setFlag(BoardRecord::PearsonEnable, plan.pearson);
        r.reserved1 = {byte(), byte(), byte()};
        r.viewRangeMax = static_cast<std::uint16_t>(60000 + k);
        r.viewRangeMin = static_cast<std::uint16_t>(100 + k);
        r.percentage = static_cast<std::uint16_t>(10 + k);
        r.allowedHigh = static_cast<std::uint16_t>(300 + k);
        r.allowedLow = static_cast<std::uint16_t>(200 + k);
        r.pearsonThreshold = 0.9 + 0.001 * static_cast<double>(k); // six significant digits at most
        r.userGain = static_cast<std::uint8_t>(1 + k % 7);
        r.current = static_cast<std::uint8_t>(k % 8);
        r.dischargeTime = static_cast<std::uint8_t>((k + 3) % 8);
        r.delayTime = static_cast<std::uint8_t>(k % 4);
        const auto bytes = r.encode();
        std::copy(bytes.begin(), bytes.end(), region.begin() + 512);
        head.setMemory(storage::boardRegionAddress(kk), region);
    }
    head.setMemory(0, table);
}

// Overwrites block 249 bytes 0..55 (the grid bytes kept), the board table and the boards'
// regions with other values.
inline void scrambleSetup(HeadStorage& head, int boards, unsigned seed)
{
    std::mt19937 rng(seed);
    Payload block = head.block(storage::SETTINGS_BLOCK);
    for (std::size_t i = 0; i < 56; ++i) {
        if (i != 25 && i != 26)
            block[i] ^= static_cast<std::uint8_t>(rng() | 1);
    }
    head.setBlock(storage::SETTINGS_BLOCK, block);
    std::vector<std::uint8_t> bytes(256);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    head.setMemory(0, bytes);
    for (int k = 0; k < boards; ++k) {
        std::vector<std::uint8_t> region(538);
        for (auto& b : region)
            b = static_cast<std::uint8_t>(rng());
        head.setMemory(storage::boardRegionAddress(k), region);
    }
}

// What the head holds after loading the file saved from `original` into `scrambled`: every
// byte the file carries comes back; the rest keeps the scrambled head's values.
//
// Not carried by the file: in block 249 outputFlags bits 4..7, lockFlags, the reserved bytes
// 2..3 and 27..34, the colours' fourth bytes (a colour set from the file gets 0) and colorFlags
// bits 3..7; in each board record the reserved bytes 1..3 and flag bits 3..7; the order region
// of a board whose custom order is off (the identity is written). Bytes 56..63 of the block,
// board table entries beyond the grid and reserved region bytes are never touched.
inline StoredSetup expectedAfterLoad(const StoredSetup& original, const StoredSetup& scrambled,
                                     const std::vector<BoardPlan>& boards)
{
    StoredSetup e = original;
    e.block[0] = static_cast<std::uint8_t>((original.block[0] & 0x0F) | (scrambled.block[0] & 0xF0));
    for (std::size_t i : {1u, 2u, 3u, 27u, 28u, 29u, 30u, 31u, 32u, 33u, 34u})
        e.block[i] = scrambled.block[i];
    for (std::size_t i : {38u, 42u, 46u, 50u, 54u})
        e.block[i] = 0;
    e.block[55] = static_cast<std::uint8_t>((original.block[55] & 0x07) | (scrambled.block[55] & 0xF8));

    e.table = scrambled.table;
    std::copy_n(original.table.begin(), 4 * boards.size(), e.table.begin());

    for (std::size_t k = 0; k < boards.size(); ++k) {
        std::vector<std::uint8_t>& r = e.regions[k];
        if (!boards[k].customOrder)
            for (int i = 0; i < 64; ++i)
                r[448 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        r[512] = static_cast<std::uint8_t>((r[512] & 0x07) | (scrambled.regions[k][512] & 0xF8));
        std::copy_n(scrambled.regions[k].begin() + 513, 3, r.begin() + 513);
    }
    return e;
}

// The 4 x 4 setup of the round trip: boards of 0, 1, 40, 64 and 70 channels, custom order and
// Pearson on and off.
inline std::vector<BoardPlan> fullGridPlan()
{
    return {{0, false, false},  {1, true, true},   {40, true, false}, {64, false, true},
            {70, true, true},   {64, true, false}, {40, false, true}, {1, false, false},
            {8, true, true},    {0, true, false},  {33, false, true}, {64, true, true},
            {70, false, false}, {12, true, false}, {63, false, true}, {2, true, true}};
}
