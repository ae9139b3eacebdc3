// Layout arithmetic and the hit test of the grid view.
#include "display/BoardGrid.h"
#include "display/HitTest.h"
#include "display/Layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace display {
namespace {

// An 801 x 801 view of 2 x 2 boards: cells are exactly 400 pixels wide and high.
class GeometryTest : public testing::Test {
protected:
    GridCounts counts{2, 2};
    BoardGrid grid{counts};
    static constexpr int kW = 801;
    static constexpr int kH = 801;

    HitResult hit(int x, int y, HitResult previous = {}) const
    {
        return HitTest(kW, kH, grid, {x, y, 0}, previous);
    }
};

TEST_F(GeometryTest, LastPixelColumnGivesGridCols)
{
    EXPECT_EQ(hit(kW - 1, 10).hitCol, 2);
    EXPECT_EQ(hit(10, kH - 1).hitRow, 2);
    EXPECT_EQ(hit(399, 399).hitCol, 0);
    EXPECT_EQ(hit(400, 400).hitRow, 1);
}

// Only a point on a shown board is a hit that commands may act on.
struct ShownCase {
    const char* name;
    int x;
    int y;
    bool shown;
};

class ShownHitTest : public GeometryTest, public testing::WithParamInterface<ShownCase> {};

TEST_P(ShownHitTest, OnlyPointsOnShownBoardsAreShown)
{
    EXPECT_EQ(hit(GetParam().x, GetParam().y).shown, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ShownHitTest,
    testing::Values(ShownCase{"TopLeft", 0, 0, true}, ShownCase{"LastBoard", 799, 799, true},
                    ShownCase{"LastPixelColumn", 800, 10, false}, ShownCase{"LastPixelRow", 10, 800, false},
                    ShownCase{"RightOfTheView", 830, 10, false}, ShownCase{"BelowTheView", 10, 830, false},
                    ShownCase{"LeftOfTheView", -5, 10, false}, ShownCase{"AboveTheView", 10, -5, false}),
    [](const testing::TestParamInfo<ShownCase>& tp) { return std::string(tp.param.name); });

TEST_F(GeometryTest, NothingIsShownOnAnEmptyGrid)
{
    counts.set(0, 0);
    EXPECT_FALSE(hit(10, 10).shown);
}

struct SlotCase {
    std::string name;
    int channelCount;
    int x;
    int previousSlot;
    int expectedSlot;
};

class SlotHitTest : public GeometryTest, public testing::WithParamInterface<SlotCase> {};

TEST_P(SlotHitTest, FindsTheSlot)
{
    const SlotCase& c = GetParam();
    grid.panel(0, 1).setChannelCount(c.channelCount);
    EXPECT_EQ(hit(400 + c.x, 50, {0, 0, c.previousSlot}).hitSlot, c.expectedSlot);
}

// Ten channels: slots are 40 pixels wide, slot j covers 400 + 40j + 3 .. 400 + 40j + 38.
INSTANTIATE_TEST_SUITE_P(
    Cases, SlotHitTest,
    testing::Values(SlotCase{"InsideFirstSlot", 10, 20, 7, 0}, SlotCase{"InsideLastSlot", 10, 390, 0, 9},
                    SlotCase{"OnGapKeepsPreviousSlot", 10, 39, 7, 7},
                    SlotCase{"OnSlotEdgeKeepsPreviousSlot", 10, 42, 5, 5},
                    SlotCase{"OneChannelBoardIsOneSlot", 1, 300, 9, 0},
                    SlotCase{"ZeroChannelsHitTestAs32", 0, 12 * 400 / 32 + 6, 0, 12},
                    SlotCase{"MoreThan64ChannelsCountAs64", 100, 63 * 400 / 64 + 3, 0, 63}),
    [](const testing::TestParamInfo<SlotCase>& tp) { return tp.param.name; });

TEST_F(GeometryTest, OneChannelBoardIsDrawnInTwoSlots)
{
    const GridLayout layout{kW, kH, 2, 2, true};
    EXPECT_EQ(layout.cell(0, 0, 1).n, 2);
    EXPECT_EQ(layout.cell(0, 0, 0).n, 2);
    EXPECT_EQ(layout.cell(0, 0, 64).n, 64);
}

TEST_F(GeometryTest, EmptyGridHitsCellZeroAndKeepsTheSlot)
{
    counts.set(0, 0);
    const HitResult h = hit(500, 700, {3, 3, 17});
    EXPECT_EQ(h.hitRow, 0);
    EXPECT_EQ(h.hitCol, 0);
    EXPECT_EQ(h.hitSlot, 17);
}

TEST_F(GeometryTest, DegenerateSizesGiveNoUndefinedConversions)
{
    const HitResult h = HitTest(1, 1, grid, {0, 0, 0}, {});
    EXPECT_EQ(h.hitCol, 0);
    EXPECT_EQ(h.hitRow, 0);
    EXPECT_EQ(toInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(toInt(-1e300), std::numeric_limits<int>::min());
}

struct LevelCase {
    std::string name;
    double value;
    double max;
    double min;
    double expected; // as a fraction of the bar height
};

class LevelTest : public testing::TestWithParam<LevelCase> {};

TEST_P(LevelTest, StaysInsideTheBarArea)
{
    const CellLayout cell = GridLayout{801, 801, 2, 2, true}.cell(0, 0, 64);
    const LevelCase& c = GetParam();
    EXPECT_DOUBLE_EQ(cell.level(c.value, c.max, c.min), c.expected * cell.hBar);
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelTest,
                         testing::Values(LevelCase{"MaxAtTop", 8000, 8000, 0, 0.0},
                                         LevelCase{"AboveMaxAtTop", 65535, 8000, 0, 0.0},
                                         LevelCase{"MinAtBottom", 1000, 8000, 1000, 1.0},
                                         LevelCase{"BelowMinAtBottom", 0, 8000, 1000, 1.0},
                                         LevelCase{"Middle", 4000, 8000, 0, 0.5},
                                         LevelCase{"EmptyRangeAtBottom", 4000, 3000, 3000, 1.0},
                                         LevelCase{"NotANumberAtBottom", 4000, std::nan(""), 0, 1.0}),
                         [](const testing::TestParamInfo<LevelCase>& tp) { return tp.param.name; });

TEST(CellLayoutTest, WithoutBannerBarsAndLabelsTakeTheBannerSpace)
{
    const CellLayout with = GridLayout{801, 801, 2, 2, true}.cell(1, 1, 64);
    const CellLayout without = GridLayout{801, 801, 2, 2, false}.cell(1, 1, 64);
    EXPECT_EQ(without.ext, 50); // an eighth of the 400-pixel cell
    EXPECT_EQ(with.ext, 0);
    EXPECT_EQ(without.yBot, with.yBot + 50);
    EXPECT_EQ(without.labelStrip().top, with.labelStrip().top + 50);
    EXPECT_EQ(without.zoneBottom(), with.zoneBottom());
    // The banner lies below the label strip, inside the cell.
    EXPECT_GT(with.bannerStrip().top, with.labelStrip().bottom - 1);
    EXPECT_LE(with.bannerStrip().bottom, 800);
}

TEST(CellLayoutTest, SlotContentLiesInsideItsFrameAndTheCell)
{
    const GridLayout layout{1920, 1000, 4, 4, true};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const CellLayout cell = layout.cell(r, c, 64);
            const PixelRect inside = cell.interior();
            for (int i = 0; i < cell.n; ++i) {
                const SlotExtents s = cell.slot(i);
                EXPECT_EQ(s.x1, s.frameLeft + 1);
                EXPECT_EQ(s.x2, s.frameRight - 1);
                EXPECT_GE(s.frameLeft, inside.left);
                EXPECT_LE(s.frameRight, inside.right);
            }
            EXPECT_LE(cell.bannerStrip().bottom, inside.bottom);
        }
    }
}

TEST(ChannelModeCycle, StepsThroughTheDefinedModesOnly)
{
    EXPECT_EQ(nextChannelMode(0), 1);
    EXPECT_EQ(nextChannelMode(1), 2);
    EXPECT_EQ(nextChannelMode(2), 4);
    EXPECT_EQ(nextChannelMode(4), 8);
    EXPECT_EQ(nextChannelMode(8), 0);
    EXPECT_EQ(nextChannelMode(3), 3);
    EXPECT_EQ(nextChannelMode(255), 255);
}

} // namespace
} // namespace display
