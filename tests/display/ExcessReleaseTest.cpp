// Release of the excess latches at the end of a repaint, and ClearExcess.
#include "display/ExcessRelease.h"

#include "display/BoardGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace display {
namespace {

constexpr std::uint8_t kClosed = 1, kLowerOnly = 4;

struct ReleaseCase {
    std::string name;
    std::function<void(BoardGrid&, GridCounts&)> setup;
    bool released;
};

class ExcessReleaseTest : public testing::TestWithParam<ReleaseCase> {
protected:
    GridCounts counts{1, 2};
    BoardGrid grid{counts};

    void SetUp() override
    {
        // Two boards of four channels, every channel judged and latched, no board failing.
        for (int c = 0; c < 2; ++c) {
            grid.panel(0, c).setChannelCount(4);
            for (int k = 0; k < 4; ++k)
                grid.panel(0, c).excess[k] = 1;
        }
        grid.failCount = 0;
    }
};

TEST_P(ExcessReleaseTest, ReleasesOnlyWhenEveryJudgedChannelIsLatched)
{
    GetParam().setup(grid, counts);
    EXPECT_EQ(releaseExcessWhenAllLatched(grid), GetParam().released);
    const bool anyLatch = grid.panel(0, 0).excess[0] != 0 || grid.panel(0, 1).excess[3] != 0;
    EXPECT_EQ(anyLatch, !GetParam().released);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExcessReleaseTest,
    testing::Values(ReleaseCase{"AllLatched", [](BoardGrid&, GridCounts&) {}, true},
                    ReleaseCase{"ABoardFails", [](BoardGrid& g, GridCounts&) { g.failCount = 1; }, false},
                    ReleaseCase{"OneJudgedChannelNotLatched",
                                [](BoardGrid& g, GridCounts&) { g.panel(0, 1).excess[2] = 0; }, false},
                    ReleaseCase{"ClosedChannelNeedsNoLatch",
                                [](BoardGrid& g, GridCounts&) {
                                    g.panel(0, 1).mask[2] = kClosed;
                                    g.panel(0, 1).excess[2] = 0;
                                },
                                true},
                    ReleaseCase{"LowerOnlyIsJudged",
                                [](BoardGrid& g, GridCounts&) {
                                    g.panel(0, 1).mask[2] = kLowerOnly;
                                    g.panel(0, 1).excess[2] = 0;
                                },
                                false},
                    ReleaseCase{"ChannelsBeyondTheCountAreNotCounted",
                                [](BoardGrid& g, GridCounts&) { g.panel(0, 1).excess[40] = 0; }, true},
                    ReleaseCase{"EmptyGridReleasesNothing", [](BoardGrid&, GridCounts& c) { c.set(0, 0); },
                                false}),
    [](const testing::TestParamInfo<ReleaseCase>& tp) { return tp.param.name; });

TEST(ClearExcessTest, ClearsShownBoardsOnly)
{
    GridCounts counts{1, 1};
    BoardGrid grid{counts};
    grid.panel(0, 0).excess[63] = 1;
    grid.panel(1, 1).excess[0] = 1;
    grid.ClearExcess();
    EXPECT_EQ(grid.panel(0, 0).excess[63].load(), 0);
    EXPECT_EQ(grid.panel(1, 1).excess[0].load(), 1);
}

TEST(ClearExcessTest, NoJudgedChannelAndNoLatchIsReleasedWithoutChange)
{
    GridCounts counts{1, 1};
    BoardGrid grid{counts};
    EXPECT_TRUE(releaseExcessWhenAllLatched(grid)); // channelCount 0: nothing judged, nothing latched
}

} // namespace
} // namespace display
