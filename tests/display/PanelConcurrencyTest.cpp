// The panel data shared without a lock: the acquisition loop writes counts and reads masks and
// failCount, board loading writes settings, the view judges and latches. Run under
// ThreadSanitizer this shows that every shared value is race-free.
#include "display/BoardGrid.h"
#include "display/ExcessRelease.h"
#include "display/HitTest.h"
#include "display/Verdict.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

namespace display {
namespace {

TEST(PanelConcurrency, WritersAndTheViewNeverSeeTornOrForeignValues)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    std::atomic<bool> run{true};
    constexpr int kRounds = 2000;

    // Acquisition: every count of a sweep is 1000 + sweep % 7 * 100.
    std::thread acquisition([&] {
        std::array<std::uint16_t, kChannels> sweepCounts{};
        int seenFailCount = 0;
        for (int sweep = 0; sweep < kRounds; ++sweep) {
            sweepCounts.fill(static_cast<std::uint16_t>(1000 + sweep % 7 * 100));
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) {
                    BoardPanel& p = grid.panel(r, c);
                    if (p.modeOf(sweep % kChannels) <= 8)
                        p.setRaw(sweepCounts.data(), p.channels());
                }
            seenFailCount = std::max(seenFailCount, grid.failCount.load(std::memory_order_relaxed));
        }
        EXPECT_LE(seenFailCount, 16);
        run = false;
    });

    // Board loading and one-key setting: whole arrays and settings.
    std::thread loading([&] {
        std::array<std::uint16_t, kChannels> high{}, low{}, ref{};
        std::array<std::uint8_t, kChannels> masks{}, order{};
        for (int round = 0; run; ++round) {
            high.fill(static_cast<std::uint16_t>(1500 + round % 3));
            low.fill(500);
            ref.fill(1200);
            masks.fill(static_cast<std::uint8_t>(round % 2 == 0 ? 0 : 4));
            for (int i = 0; i < kChannels; ++i)
                order[i] = static_cast<std::uint8_t>((i + round) % kChannels);
            const int r = round % 4, c = (round / 4) % 4;
            grid.SetThresholdsHigh(kChannels, r, c, high.data());
            grid.SetThresholdsLow(kChannels, r, c, low.data());
            grid.SetReferences(kChannels, r, c, ref.data());
            grid.SetMasks(kChannels, r, c, masks.data());
            grid.panel(r, c).setOrder(order);
            grid.panel(r, c).setViewRange(4000.0, 100.0);
            grid.panel(r, c).setChannelCount(round % 65);
            grid.panel(r, c).setPearsonCheck(round % 2 == 0, 0.5);
            grid.excessIndication = round % 2 == 0;
            grid.setColorScheme(ColorScheme{});
        }
    });

    // The view: judge, latch, release, hit test, change the grid size now and then.
    HitResult hit;
    for (int tick = 0; run; ++tick) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                BoardPanel& p = grid.panel(r, c);
                const BoardSnapshot s = p.snapshot();
                for (int k = 0; k < kChannels; ++k) {
                    ASSERT_TRUE(s.raw[k] == 0 ||
                                (s.raw[k] >= 1000 && s.raw[k] <= 1600 && s.raw[k] % 100 == 0))
                        << s.raw[k];
                    ASSERT_TRUE(s.mask[k] == 0 || s.mask[k] == 4);
                    if (s.raw[k] > s.thresholdHigh[k])
                        p.excess[k].store(1, std::memory_order_relaxed);
                }
                ASSERT_LE(s.channelCount, kChannels);
                p.pearson.store(pearsonCoefficient(s), std::memory_order_relaxed);
            }
        evaluateVerdicts(grid);
        releaseExcessWhenAllLatched(grid);
        hit = HitTest(1920, 1000, grid, {tick % 1920, tick % 1000, 0}, hit);
        if (tick % 50 == 0)
            counts.set(1 + tick % 4, 1 + (tick / 4) % 4);
    }
    acquisition.join();
    loading.join();
}

} // namespace
} // namespace display
