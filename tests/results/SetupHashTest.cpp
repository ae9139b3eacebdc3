#include "SetupHash.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Two boards of 8 channels in a 1 x 2 grid; Pearson check on at 0.5, gain 7.
SetupImage twoBoards()
{
    SetupImage image;
    GlobalSettings::Bytes global{}; // from bytes, so that no default of the image enters the hash
    global[17] = 0x20;              // expansion board 0 address
    global[25] = 2;                 // gridCols
    global[26] = 1;                 // gridRows
    image.global = GlobalSettings::decode(global);
    image.boardTable.entries[0] = {BoardTableEntry::makePosition(0, 0), 8, 0, 0};
    image.boardTable.entries[1] = {BoardTableEntry::makePosition(0, 1), 8, 0, 1};
    for (int k = 0; k < 2; ++k) {
        SetupImage::Board board;
        for (std::size_t i = 0; i < 64; ++i) {
            board.reference[i] = static_cast<std::uint16_t>(1000 + i + k);
            board.thresholdHigh[i] = static_cast<std::uint16_t>(board.reference[i] + 100);
            board.thresholdLow[i] = static_cast<std::uint16_t>(board.reference[i] - 100);
            board.mask[i] = i < 8 ? 0 : 1;
            board.order[i] = static_cast<std::uint8_t>(i);
        }
        board.record.setFlag(BoardRecord::PearsonEnable, true);
        board.record.pearsonThreshold = 0.5;
        board.record.userGain = 7;
        image.boards.push_back(board);
    }
    return image;
}

TEST(SetupHash, IsTheSha256OfTheSetupBytesInHeadOrder)
{
    // Computed independently from the byte layout (little-endian 16-bit arrays, IEEE double).
    EXPECT_EQ(setupHash(twoBoards()), "55525d35bd5039d19899b4f0d0b823c21d65e5ca4d842b2fcd4dae0be030f0ad");
}

TEST(SetupHash, TheSameSetupGivesTheSameHash)
{
    EXPECT_EQ(setupHash(twoBoards()), setupHash(twoBoards()));
}

struct SetupChange {
    std::string name;
    std::function<void(SetupImage&)> change;
};

class SetupHashChange : public testing::TestWithParam<SetupChange> {};

TEST_P(SetupHashChange, OneChangedValueGivesAnotherHash)
{
    auto changed = twoBoards();
    GetParam().change(changed);
    EXPECT_NE(setupHash(changed), setupHash(twoBoards()));
}

INSTANTIATE_TEST_SUITE_P(
    Setup, SetupHashChange,
    testing::Values(
        SetupChange{"UpperThresholdOfOneChannel", [](SetupImage& s) { s.boards[1].thresholdHigh[5]++; }},
        SetupChange{"LowerThresholdOfOneChannel", [](SetupImage& s) { s.boards[0].thresholdLow[0]--; }},
        SetupChange{"HighByteOfAReference", [](SetupImage& s) { s.boards[0].reference[3] += 256; }},
        SetupChange{"ChannelMode", [](SetupImage& s) { s.boards[0].mask[9] = 0; }},
        SetupChange{"ChannelOrder",
                    [](SetupImage& s) { std::swap(s.boards[1].order[0], s.boards[1].order[1]); }},
        SetupChange{"PearsonThreshold", [](SetupImage& s) { s.boards[1].record.pearsonThreshold = 0.51; }},
        SetupChange{"Gain", [](SetupImage& s) { s.boards[0].record.userGain = 6; }},
        SetupChange{"BoardPort", [](SetupImage& s) { s.boardTable.entries[1].port = 2; }},
        SetupChange{"GlobalSetting",
                    [](SetupImage& s) { s.global.outputFlags ^= GlobalSettings::BuzzerEnable; }},
        SetupChange{"BoardsSwapped", [](SetupImage& s) { std::swap(s.boards[0], s.boards[1]); }}),
    [](const testing::TestParamInfo<SetupChange>& p) { return p.param.name; });

} // namespace
