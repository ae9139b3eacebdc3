// TestSetup is read by the acquisition thread while another thread replaces its images: a
// reader must always see one whole image, never half of one and half of another.
#include "TestSetup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

GlobalSettings filledWith(std::uint8_t v)
{
    GlobalSettings::Bytes bytes;
    bytes.fill(v);
    return GlobalSettings::decode(bytes);
}

BoardTable tableFilledWith(std::uint8_t v)
{
    BoardTable::Bytes bytes;
    bytes.fill(v);
    return BoardTable::decode(bytes);
}

TEST(TestSetup, SnapshotsAreNeverTornWhileAnotherThreadWrites)
{
    TestSetup setup;
    const GlobalSettings a = filledWith(0x11), b = filledWith(0xEE);
    const BoardTable ta = tableFilledWith(0x22), tb = tableFilledWith(0xDD);
    setup.setGlobal(a);
    setup.setBoardTable(ta);
    setup.setMeasure(3, BoardMeasureSettings{1, 1, 0, 0, 0});

    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            setup.setGlobal(i % 2 ? a : b);
            setup.setBoardTable(i % 2 ? ta : tb);
            BoardMeasureSettings m;
            m.userGain = static_cast<std::uint8_t>(i % 2 ? 1 : 6);
            m.current = m.userGain;
            setup.setMeasure(3, m);
            setup.grid().set(i % 2 ? 1 : 4, i % 2 ? 1 : 4);
        }
        stop.store(true);
    });
    int torn = 0;
    while (!stop.load()) {
        const GlobalSettings g = setup.global();
        torn += !(g == a || g == b);
        const BoardTable t = setup.boardTable();
        torn += !(t == ta || t == tb);
        const BoardMeasureSettings m = setup.measure(3);
        torn += m.userGain != m.current;
        const auto [rows, cols] = setup.grid().get();
        torn += rows != cols;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

TEST(TestSetup, InitialValuesAndOutOfRangeIndices)
{
    TestSetup setup;
    EXPECT_EQ(setup.grid().rows(), 2);
    EXPECT_EQ(setup.grid().cols(), 2);
    EXPECT_TRUE(setup.deviceType().empty());
    EXPECT_EQ(setup.measure(0).userGain, 7);
    EXPECT_EQ(setup.measure(31).userGain, 7);
    EXPECT_EQ(setup.workRecord(), BoardRecord{});

    setup.setMeasure(32, BoardMeasureSettings{1, 1, 1, 1, 1}); // ignored, no write past the array
    setup.setBoardTableEntry(64, BoardTableEntry{1, 1, 1, 1});
    setup.setBoardTableEntry(-1, BoardTableEntry{1, 1, 1, 1});
    EXPECT_EQ(setup.boardTable(), BoardTable{});
    EXPECT_EQ(setup.boardTableEntry(64), BoardTableEntry{});
}

} // namespace
