// A tick that reuses unchanged boards must give exactly the picture, latches and failCount of a
// full rebuild. Two identical grids get the same changes; one is repainted incrementally, the
// other rebuilt in full every tick.
#include "display/BoardGrid.h"
#include "display/GridRenderer.h"
#include "display/Verdict.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace display {
namespace {

class TwinGrids {
public:
    TwinGrids()
    {
        full_.setIncremental(false);
        forEach([](BoardGrid& g) {
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) {
                    BoardPanel& p = g.panel(r, c);
                    p.setChannelCount(16 + 12 * c);
                    p.setViewRange(2000, 0);
                    for (int k = 0; k < kChannels; ++k) {
                        p.reference[k] = static_cast<std::uint16_t>(900 + 5 * k);
                        p.thresholdHigh[k] = static_cast<std::uint16_t>(1200 + 5 * k);
                        p.thresholdLow[k] = static_cast<std::uint16_t>(600 + 5 * k);
                        p.raw[k] = static_cast<std::uint16_t>(900 + 5 * k + (k % 3) * 10);
                    }
                }
        });
    }

    void forEach(const std::function<void(BoardGrid&)>& change)
    {
        change(incrementalGrid_);
        change(fullGrid_);
    }

    void set(int rows, int cols)
    {
        incrementalCounts_.set(rows, cols);
        fullCounts_.set(rows, cols);
    }

    // Judges both as the acquisition cycle would (the main view only), repaints both and checks
    // they agree.
    void tickAndCompare(QSize size, int tick)
    {
        forEach([](BoardGrid& g) {
            if (g.bannerShown.load())
                evaluateVerdicts(g);
        });
        const QImage& a = incremental_.render(incrementalGrid_, size);
        const QImage& b = full_.render(fullGrid_, size);
        ASSERT_EQ(a, b) << "tick " << tick;
        ASSERT_EQ(incrementalGrid_.failCount.load(), fullGrid_.failCount.load()) << "tick " << tick;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const BoardPanel& p = incrementalGrid_.panel(r, c);
                const BoardPanel& q = fullGrid_.panel(r, c);
                ASSERT_EQ(p.pearson.load(), q.pearson.load()) << "tick " << tick;
                for (int k = 0; k < kChannels; ++k)
                    ASSERT_EQ(p.excess[k].load(), q.excess[k].load())
                        << "tick " << tick << " board " << r << c;
            }
    }

    GridRenderer& incremental() { return incremental_; }

private:
    GridCounts incrementalCounts_{4, 4};
    GridCounts fullCounts_{4, 4};
    BoardGrid incrementalGrid_{incrementalCounts_};
    BoardGrid fullGrid_{fullCounts_};
    GridRenderer incremental_;
    GridRenderer full_;
};

TEST(IncrementalRepaint, EqualsAFullRebuildThroughRandomChanges)
{
    TwinGrids twins;
    std::mt19937 rng(20261210);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    QSize size(800, 500);

    for (int tick = 0; tick < 160; ++tick) {
        const int r = pick(4), c = pick(4), what = pick(14);
        const unsigned seed = rng();
        twins.forEach([&](BoardGrid& g) {
            std::mt19937 values(seed); // the same values for both grids
            auto v = [&](int n) { return static_cast<int>(values() % static_cast<unsigned>(n)); };
            BoardPanel& p = g.panel(r, c);
            switch (what) {
            case 0:
            case 1:
            case 2: // the common tick: new counts on one board, now and then out of limits
                for (int k = 0; k < kChannels; ++k)
                    p.raw[k] =
                        static_cast<std::uint16_t>(p.reference[k] + v(700) - 350 + (v(40) == 0 ? 2000 : 0));
                break;
            case 3:
                for (int k = 0; k < kChannels; ++k)
                    p.thresholdHigh[k] = static_cast<std::uint16_t>(p.reference[k] + v(600));
                break;
            case 4: {
                static constexpr std::uint8_t modes[] = {0, 0, 0, 1, 2, 3, 4, 8};
                for (int k = 0; k < kChannels; ++k)
                    p.mask[k] = modes[v(8)];
                break;
            }
            case 5:
                for (int k = 0; k < kChannels; ++k)
                    p.order[k] = static_cast<std::uint8_t>(v(10) == 0 ? 64 + v(192) : v(64));
                break;
            case 6:
                g.excessIndication = !g.excessIndication.load();
                break;
            case 7: {
                ColorScheme s;
                s.colorFlags = static_cast<std::uint8_t>(v(8));
                g.setColorScheme(s);
                break;
            }
            case 8:
                g.ClearExcess();
                break;
            case 9:
                p.setPearsonCheck(v(2) == 0, v(100) / 100.0);
                break;
            case 10:
                p.setChannelCount(v(66));
                break;
            case 11:
                p.setViewRange(v(3) == 0 ? 1000.0 : 2000.0, v(3) == 0 ? 1000.0 : 0.0);
                break;
            case 12:
                g.bannerShown = v(4) != 0;
                break;
            default:
                break; // an idle tick
            }
        });
        if (pick(25) == 0)
            twins.set(pick(5), pick(5));
        if (pick(40) == 0)
            size = QSize(600 + pick(400), 300 + pick(300));
        ASSERT_NO_FATAL_FAILURE(twins.tickAndCompare(size, tick));
    }
}

TEST(IncrementalRepaint, IdleTickRedrawsNoBoardAndOneChangeRedrawsOne)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    GridRenderer renderer;
    renderer.render(grid, {800, 500});
    EXPECT_EQ(renderer.boardsRedrawnLastTick(), 16);
    renderer.render(grid, {800, 500});
    EXPECT_EQ(renderer.boardsRedrawnLastTick(), 0);
    grid.panel(2, 1).raw[5] = 77;
    renderer.render(grid, {800, 500});
    EXPECT_EQ(renderer.boardsRedrawnLastTick(), 1);
    grid.excessIndication = true; // a view setting: everything again
    renderer.render(grid, {800, 500});
    EXPECT_EQ(renderer.boardsRedrawnLastTick(), 16);
}

} // namespace
} // namespace display
