// The demo setup a head starts with: what the station reads from it at connection, and counts
// that make every board pass except one channel of the last board.
#include "sim/DemoSetup.h"

#include "SimWire.h"
#include "device/CUSBChannel.h"
#include "device/StorageMap.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

using namespace simtest;

namespace {

struct Grid {
    int rows;
    int cols;
    int channels;
};

int u16(const std::uint8_t* at)
{
    return at[0] | (at[1] << 8);
}

double pearson(const std::vector<int>& a, const std::vector<int>& b)
{
    const double n = static_cast<double>(a.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ma += a[i] / n, mb += b[i] / n;
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return sab / std::sqrt(saa * sbb);
}

class DemoSetup : public ::testing::TestWithParam<Grid> {
protected:
    DemoSetup() { head.loadDemoSetup(GetParam().rows, GetParam().cols, GetParam().channels); }

    int boards() const { return GetParam().rows * GetParam().cols; }

    std::vector<int> counts(int k, int channels)
    {
        const auto address = static_cast<std::uint8_t>(32 + k / 8);
        wire.exchange({selectPortFrame(address, static_cast<std::uint8_t>(1 << (k % 8)))});
        const std::vector<Report> replies =
            wire.exchange({readCountsFrame(static_cast<std::uint8_t>(channels))});
        wire.exchange({selectPortFrame(address, 0)});
        std::vector<int> result;
        result.reserve(channels);
        for (int i = 0; i < channels; ++i)
            result.push_back(u16(&replies.at(i / 32)[1 + 2 * (i % 32)]));
        return result;
    }

    std::vector<int> array16(std::uint16_t address, int channels)
    {
        const std::vector<std::uint8_t> bytes = head.memory(address, 128);
        std::vector<int> values;
        values.reserve(channels);
        for (int i = 0; i < channels; ++i)
            values.push_back(u16(&bytes[2 * i]));
        return values;
    }

    SimBus bus;
    SimHead& head = bus.addHead();
    Wire wire{bus.open(head.path())};
};

TEST_P(DemoSetup, IdentityNamesAMultiBoardHead)
{
    const Payload identity = head.block(storage::IDENTITY_BLOCK);
    EXPECT_EQ(identityText(identity, storage::kIdentityDeviceTypeOffset), "TRIVELLAV2");
    EXPECT_EQ(identityText(identity, storage::kIdentityBrandOffset), "");
    EXPECT_TRUE(std::any_of(identity.begin(), identity.begin() + 16, [](std::uint8_t b) { return b != 0; }));
}

TEST_P(DemoSetup, GlobalSettingsDescribeTheGrid)
{
    const Payload settings = head.block(storage::SETTINGS_BLOCK);
    EXPECT_EQ(settings[0], 0x05); // buzzer and lamps on, Chinese
    EXPECT_EQ(settings[1], 0);    // no operator locks
    EXPECT_EQ(settings[25], GetParam().cols);
    EXPECT_EQ(settings[26], GetParam().rows);
    EXPECT_EQ(settings[16], (boards() + 7) / 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(settings[17 + i], 32 + i);
    const std::uint8_t colours[] = {150, 150, 255, 0,   100, 255, 100, 0,   200, 100,
                                    100, 0,   200, 200, 100, 0,   100, 100, 100, 0};
    EXPECT_EQ(std::memcmp(&settings[35], colours, sizeof colours), 0);
    EXPECT_EQ(settings[55], 0x03);
    EXPECT_GT(u16(&settings[4]), u16(&settings[6])); // view range
}

TEST_P(DemoSetup, BoardTableAndRecords)
{
    const int channels = GetParam().channels;
    const std::vector<std::uint8_t> table = head.memory(0, storage::kBoardTableSize);
    for (int k = 0; k < storage::kBoardTableEntries; ++k) {
        const std::uint8_t* entry = &table[4 * k];
        if (k >= boards()) {
            EXPECT_EQ(u16(entry) | u16(entry + 2), 0) << "entry " << k;
            continue;
        }
        const int row = k / GetParam().cols;
        const int col = k % GetParam().cols;
        EXPECT_EQ(entry[0], col << 4 | row) << "entry " << k;
        EXPECT_EQ(entry[1], channels);
        EXPECT_EQ(entry[2], k / 8);
        EXPECT_EQ(entry[3], k % 8);

        const std::vector<int> reference = array16(storage::referenceAddress(k), channels);
        const std::vector<int> high = array16(storage::thresholdHighAddress(k), channels);
        const std::vector<int> low = array16(storage::thresholdLowAddress(k), channels);
        for (int i = 0; i < channels; ++i) {
            EXPECT_EQ(high[i], reference[i] * 11 / 10);
            EXPECT_EQ(low[i], reference[i] * 9 / 10);
        }
        const std::vector<std::uint8_t> mask = head.memory(storage::maskAddress(k), 64);
        EXPECT_TRUE(std::all_of(mask.begin(), mask.end(), [](std::uint8_t m) { return m == 0; }));
        const std::vector<std::uint8_t> order = head.memory(storage::orderAddress(k), 64);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(order[i], i);

        const std::vector<std::uint8_t> record = head.memory(storage::boardRecordAddress(k), 26);
        EXPECT_EQ(record[0], 0x03); // percentMode, pearsonEnable
        double threshold = 0;
        std::uint64_t bits = 0;
        for (int b = 0; b < 8; ++b)
            bits |= static_cast<std::uint64_t>(record[14 + b]) << (8 * b);
        threshold = std::bit_cast<double>(bits);
        EXPECT_DOUBLE_EQ(threshold, 0.9);
        EXPECT_EQ(record[22], 7);
        EXPECT_LE(u16(&record[6]), *std::min_element(low.begin(), low.end()));
        EXPECT_GE(u16(&record[4]), *std::max_element(high.begin(), high.end()));
    }
}

TEST_P(DemoSetup, AllChannelsPassButOneOfTheLastBoard)
{
    const int channels = GetParam().channels;
    const int last = boards() - 1;
    for (int k = 0; k < boards(); ++k) {
        const std::vector<int> reference = array16(storage::referenceAddress(k), channels);
        const std::vector<int> high = array16(storage::thresholdHighAddress(k), channels);
        const std::vector<int> low = array16(storage::thresholdLowAddress(k), channels);
        const std::vector<int> measured = counts(k, channels);
        for (int i = 0; i < channels; ++i) {
            if (k == last && i == demo::defectChannel(channels)) {
                EXPECT_LT(measured[i], low[i]);
                continue;
            }
            EXPECT_GE(measured[i], low[i]) << "board " << k << " channel " << i;
            EXPECT_LE(measured[i], high[i]) << "board " << k << " channel " << i;
        }
        if (k != last && channels > 1) {
            EXPECT_GE(pearson(measured, reference), 0.9) << "board " << k;
        }
    }
}

TEST_P(DemoSetup, ExpansionBoardsAnswerWithTheirVersion)
{
    const Report parameters = report({0x20, 0x00, 0x02, 0x01, 0x01});
    for (int index = 0; index < 8; ++index) {
        wire.exchange({selectPortFrame(static_cast<std::uint8_t>(32 + index), 1)});
        wire.exchange({header(0x1B), parameters, report({0x01, 0xFE})});
        const std::vector<Report> replies = wire.exchange({header(0x1A), parameters});
        ASSERT_EQ(replies.size(), 2U);
        EXPECT_EQ(replies[0][1] << 8 | replies[0][2], demo::kExpansionFirmware);
    }
}

INSTANTIATE_TEST_SUITE_P(Grids, DemoSetup,
                         ::testing::Values(Grid{2, 2, 40}, Grid{4, 4, 64}, Grid{1, 1, 8}, Grid{3, 2, 16},
                                           Grid{4, 3, 1}),
                         [](const ::testing::TestParamInfo<Grid>& grid) {
                             return std::to_string(grid.param.rows) + "x" + std::to_string(grid.param.cols) +
                                    "x" + std::to_string(grid.param.channels);
                         });

TEST(DemoSetupDefault, NewHeadCarriesTheTwoByTwoSetup)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    const Payload settings = head.block(storage::SETTINGS_BLOCK);
    EXPECT_EQ(settings[25], 2);
    EXPECT_EQ(settings[26], 2);
    EXPECT_EQ(head.memory(storage::boardTableEntryAddress(3), 4),
              (std::vector<std::uint8_t>{0x11, 40, 0, 3}));
}

TEST(DemoSetupLimits, OversizedRequestsAreKeptToTheGrid)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    head.loadDemoSetup(9, 0, 200);
    const Payload settings = head.block(storage::SETTINGS_BLOCK);
    EXPECT_EQ(settings[25], 1);
    EXPECT_EQ(settings[26], 4);
    EXPECT_EQ(head.memory(storage::boardTableEntryAddress(0), 4)[1], 64);
}

struct GridTextCase {
    const char* name;
    const char* text;
    std::optional<DemoGrid> grid;
};

class DemoGridText : public ::testing::TestWithParam<GridTextCase> {};

TEST_P(DemoGridText, Parses)
{
    EXPECT_EQ(parseDemoGrid(GetParam().text), GetParam().grid);
}

INSTANTIATE_TEST_SUITE_P(Texts, DemoGridText,
                         ::testing::Values(GridTextCase{"Empty", "", DemoGrid{2, 2, 40}},
                                           GridTextCase{"Full", "4x4x64", DemoGrid{4, 4, 64}},
                                           GridTextCase{"NoChannels", "3x1", DemoGrid{3, 1, 40}},
                                           GridTextCase{"TooManyRows", "5x1x8", std::nullopt},
                                           GridTextCase{"ZeroCols", "2x0", std::nullopt},
                                           GridTextCase{"TooManyChannels", "2x2x65", std::nullopt},
                                           GridTextCase{"OneNumber", "4", std::nullopt},
                                           GridTextCase{"FourNumbers", "1x1x1x1", std::nullopt},
                                           GridTextCase{"TrailingX", "2x2x", std::nullopt},
                                           GridTextCase{"Negative", "-1x2", std::nullopt},
                                           GridTextCase{"OtherSeparator", "2*2", std::nullopt},
                                           GridTextCase{"Garbage", "big", std::nullopt}),
                         ByName());

} // namespace
