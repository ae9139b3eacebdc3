// The round trip a user relies on, against the simulated head: a full 4 x 4 setup is saved,
// the head's data scrambled, and the file loaded back through the real command frames.
#include "ConfigurationFile.h"
#include "HeadOperations.h"
#include "RoundTripSetup.h"
#include "TempDir.h"
#include "TestSetup.h"
#include "device/CUSBChannel.h"
#include "sim/SimBus.h"
#include "sim/SimHead.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

namespace {

class SimStorage : public HeadStorage {
public:
    explicit SimStorage(SimHead& head) : head_(head) {}
    Payload block(std::uint8_t n) override { return head_.block(n); }
    void setBlock(std::uint8_t n, const Payload& data) override { head_.setBlock(n, data); }
    std::vector<std::uint8_t> memory(int address, int length) override
    {
        return head_.memory(static_cast<std::uint16_t>(address), length);
    }
    void setMemory(int address, const std::vector<std::uint8_t>& data) override
    {
        head_.setMemory(static_cast<std::uint16_t>(address), data.data(), static_cast<int>(data.size()));
    }

private:
    SimHead& head_;
};

class SimHeadRoundTrip : public TempDirTest {
protected:
    SimBus bus;
    SimHead& head = bus.addHead();
    SimStorage storage{head};
    CUSBChannel device;
    TestSetup setup;
    HeadOperations ops{device, setup};
};

TEST_F(SimHeadRoundTrip, FullSetupComesBackByteForByte)
{
    const std::vector<BoardPlan> plan = fullGridPlan();
    writeSetup(storage, 4, 4, plan, 11);
    ASSERT_TRUE(device.openTester(bus));
    ASSERT_TRUE(ops.readGlobalSettings());
    ASSERT_TRUE(ops.readBoardTable());
    setup.grid().set(4, 4);
    const StoredSetup original = StoredSetup::read(storage, 16);

    EXPECT_EQ(configfile::save(ops, dir / "setup.ini").text, texts::text(texts::TextId::FileSaved, false));

    scrambleSetup(storage, 16, 5);
    const StoredSetup scrambled = StoredSetup::read(storage, 16);
    const int restartsBefore = head.restartCount();

    const configfile::LoadResult loaded = configfile::load(ops, dir / "setup.ini");
    // The message speaks the language the loaded file gave the head.
    EXPECT_EQ(loaded.message.text, texts::text(texts::TextId::FileLoaded, setup.global().englishUi()));
    EXPECT_EQ(head.restartCount(), restartsBefore + 1);

    const StoredSetup expected = expectedAfterLoad(original, scrambled, plan);
    const StoredSetup after = StoredSetup::read(storage, 16);
    EXPECT_EQ(after.block, expected.block);
    EXPECT_EQ(after.table, expected.table);
    for (std::size_t k = 0; k < plan.size(); ++k)
        EXPECT_EQ(after.regions[k], expected.regions[k])
            << "board " << k << " with " << plan[k].channels << " channels";
}

} // namespace
