#include "DemoSetup.h"

#include "device/StorageMap.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

struct Colour {
    std::uint8_t red, green, blue;
};
// The station's default colours: pass, excess, high, low, mask.
constexpr Colour kDefaultColours[] = {
    {150, 150, 255}, {100, 255, 100}, {200, 100, 100}, {200, 200, 100}, {100, 100, 100}};

void putU16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putText(std::uint8_t* at, std::string_view text)
{
    std::memcpy(at, text.data(), std::min<std::size_t>(text.size(), storage::kIdentityTextSize));
}

Payload identityBlock()
{
    Payload block{};
    constexpr std::uint8_t kGuid[storage::kIdentityGuidSize] = {
        0x5B, 0x3E, 0x71, 0x0C, 0x9A, 0x42, 0x4D, 0x18, 0xB6, 0x27, 0xE0, 0x93, 0x6F, 0x15, 0xC8, 0x2D};
    std::copy(std::begin(kGuid), std::end(kGuid), block.begin() + storage::kIdentityGuidOffset);
    // The brand code (bytes 32..47) stays empty.
    putText(block.data() + storage::kIdentityDeviceTypeOffset, "TRIVELLAV2");
    return block;
}

Payload settingsBlock(int rows, int cols, int boardsInUse, std::uint16_t viewMax, std::uint16_t viewMin)
{
    Payload block{};
    block[0] = 0x01 | 0x04; // buzzerEnable, ledEnable; Chinese user interface
    putU16(&block[4], viewMax);
    putU16(&block[6], viewMin);
    putU16(&block[9], 10);   // percentage
    putU16(&block[11], 100); // allowedHigh
    putU16(&block[13], 100); // allowedLow
    block[16] = static_cast<std::uint8_t>((boardsInUse + 7) / 8);
    for (int i = 0; i < HeadState::kExpansionBoards; ++i)
        block[17 + i] = static_cast<std::uint8_t>(demo::kFirstExpansionAddress + i);
    block[25] = static_cast<std::uint8_t>(cols);
    block[26] = static_cast<std::uint8_t>(rows);
    for (int c = 0; c < 5; ++c) {
        block[35 + 4 * c] = kDefaultColours[c].red;
        block[36 + 4 * c] = kDefaultColours[c].green;
        block[37 + 4 * c] = kDefaultColours[c].blue;
    }
    block[55] = 0x03; // customColors, customExcessColor
    return block;
}

// The 26-byte board record: percent mode, Pearson check at 0.9, gain 7, view range.
void writeBoardRecord(std::uint8_t* record, std::uint16_t viewMax, std::uint16_t viewMin)
{
    record[0] = 0x01 | 0x02; // percentMode, pearsonEnable
    putU16(record + 4, viewMax);
    putU16(record + 6, viewMin);
    putU16(record + 8, 10);   // percentage
    putU16(record + 10, 100); // allowedHigh
    putU16(record + 12, 100); // allowedLow
    const auto pearson = std::bit_cast<std::uint64_t>(0.9);
    for (int i = 0; i < 8; ++i)
        record[14 + i] = static_cast<std::uint8_t>(pearson >> (8 * i));
    record[22] = 7; // userGain; current, dischargeTime and delayTime stay 0
}

} // namespace

namespace demo {

std::uint16_t referenceCount(int board, int channel)
{
    // Spread between 1200 and 1640 so that counts and references correlate clearly.
    return static_cast<std::uint16_t>(1200 + ((channel * 53 + board * 29) % 23) * 20);
}

int defectChannel(int channels)
{
    return channels / 3;
}

} // namespace demo

void loadDemoSetup(HeadState& state, int rows, int cols, int channels)
{
    rows = std::clamp(rows, 1, 4);
    cols = std::clamp(cols, 1, 4);
    channels = std::clamp(channels, 1, storage::kMaxChannels);
    const int boards = rows * cols;
    constexpr std::uint16_t kViewMax = 2000;
    constexpr std::uint16_t kViewMin = 900;

    state.blocks = {};
    state.memory.assign(HeadState::kMemorySize, 0);
    state.panels.clear();
    state.selection.reset();
    state.blocks[storage::IDENTITY_BLOCK] = identityBlock();
    state.blocks[storage::SETTINGS_BLOCK] = settingsBlock(rows, cols, boards, kViewMax, kViewMin);
    for (int i = 0; i < HeadState::kExpansionBoards; ++i)
        state.expansionBoards[i] = HeadState::ExpansionBoard{
            static_cast<std::uint8_t>(demo::kFirstExpansionAddress + i), demo::kExpansionFirmware};

    for (int k = 0; k < boards; ++k) {
        const int row = k / cols;
        const int col = k % cols;
        std::uint8_t* entry = &state.memory[storage::boardTableEntryAddress(k)];
        entry[0] = static_cast<std::uint8_t>(col << 4 | row);
        entry[1] = static_cast<std::uint8_t>(channels);
        entry[2] = static_cast<std::uint8_t>(k / HeadState::kPortsPerBoard);
        entry[3] = static_cast<std::uint8_t>(k % HeadState::kPortsPerBoard);

        std::vector<std::uint16_t> references(channels);
        for (int i = 0; i < storage::kMaxChannels; ++i) {
            // Entries past the channel count stay zero; the order is the identity.
            state.memory[storage::orderAddress(k) + i] = static_cast<std::uint8_t>(i);
            if (i >= channels)
                continue;
            const std::uint16_t reference = demo::referenceCount(k, i);
            references[i] = reference;
            putU16(&state.memory[storage::referenceAddress(k) + 2 * i], reference);
            putU16(&state.memory[storage::thresholdHighAddress(k) + 2 * i],
                   static_cast<std::uint16_t>(reference * 11 / 10));
            putU16(&state.memory[storage::thresholdLowAddress(k) + 2 * i],
                   static_cast<std::uint16_t>(reference * 9 / 10));
        }
        writeBoardRecord(&state.memory[storage::boardRecordAddress(k)], kViewMax, kViewMin);

        const auto address =
            static_cast<std::uint8_t>(demo::kFirstExpansionAddress + k / HeadState::kPortsPerBoard);
        const int port = k % HeadState::kPortsPerBoard;
        state.panels[{address, port}] =
            PanelModel(std::move(references), demo::kPanelNoise, static_cast<std::uint32_t>(1000 + k));
    }

    // One channel of the last board reads well below its lower threshold.
    const int last = boards - 1;
    const int channel = demo::defectChannel(channels);
    const auto address =
        static_cast<std::uint8_t>(demo::kFirstExpansionAddress + last / HeadState::kPortsPerBoard);
    state.panels[{address, last % HeadState::kPortsPerBoard}].setDefect(
        channel, static_cast<std::uint16_t>(demo::referenceCount(last, channel) * 7 / 10));
}

std::optional<DemoGrid> parseDemoGrid(std::string_view text)
{
    if (text.empty())
        return DemoGrid{};
    std::vector<int> numbers;
    while (true) {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end == text.data())
            return std::nullopt;
        numbers.push_back(value);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (text.empty())
            break;
        if (text.front() != 'x' || numbers.size() == 3)
            return std::nullopt;
        text.remove_prefix(1);
    }
    if (numbers.size() < 2)
        return std::nullopt;
    DemoGrid grid{numbers[0], numbers[1], numbers.size() == 3 ? numbers[2] : DemoGrid{}.channels};
    const bool valid = grid.rows >= 1 && grid.rows <= 4 && grid.cols >= 1 && grid.cols <= 4 &&
                       grid.channels >= 1 && grid.channels <= storage::kMaxChannels;
    return valid ? std::optional(grid) : std::nullopt;
}
