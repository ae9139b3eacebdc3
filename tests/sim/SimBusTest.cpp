// The simulated bus: enumeration, other HID devices for discovery, plugging and unplugging,
// notifications and the death of handles.
#include "sim/SimBus.h"

#include "EventRecorder.h"
#include "SimWire.h"
#include "device/DeviceIds.h"
#include "device/hiddata.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace simtest;

namespace {

class SimBusTest : public ::testing::Test {
protected:
    SimBus bus;
    EventRecorder events{bus};
};

TEST_F(SimBusTest, EnumeratesPresentDevicesInInsertionOrder)
{
    bus.addForeignDevice("/dev/hidraw-kbd", 0x046D, 0xC31C, u"Logi", u"Keyboard");
    bus.addHead("/dev/hidraw-sim1");
    bus.addHead("/dev/hidraw-sim0");
    EXPECT_EQ(bus.enumerate(),
              (std::vector<std::string>{"/dev/hidraw-kbd", "/dev/hidraw-sim1", "/dev/hidraw-sim0"}));

    bus.unplug("/dev/hidraw-sim1");
    bus.unplug("/dev/hidraw-kbd");
    EXPECT_EQ(bus.enumerate(), std::vector<std::string>{"/dev/hidraw-sim0"});
    bus.plug("/dev/hidraw-kbd");
    bus.plug("/dev/hidraw-sim1");
    EXPECT_EQ(bus.enumerate(),
              (std::vector<std::string>{"/dev/hidraw-kbd", "/dev/hidraw-sim1", "/dev/hidraw-sim0"}));
}

TEST_F(SimBusTest, NotifiesChangesOnlyWhenPresenceChanges)
{
    bus.addHead("/dev/a");
    bus.addForeignDevice("/dev/b", 1, 2, std::nullopt, std::nullopt);
    bus.unplug("/dev/a");
    bus.unplug("/dev/a");
    bus.unplug("/dev/b");
    bus.plug("/dev/a");
    bus.plug("/dev/a");
    bus.plug("/dev/nowhere");
    bus.unplug("/dev/nowhere");
    EXPECT_EQ(events.entries(), (std::vector<EventRecorder::Entry>{{kArrival, "/dev/a"},
                                                                   {kArrival, "/dev/b"},
                                                                   {kRemoval, "/dev/a"},
                                                                   {kRemoval, "/dev/b"},
                                                                   {kArrival, "/dev/a"}}));
}

TEST_F(SimBusTest, ListenerMayUseTheBus)
{
    // The listener is never called with the bus locked, so it may enumerate and open.
    std::vector<std::size_t> present;
    std::vector<bool> opened;
    bus.setListener([&](SimBus::Event, const std::string& path) {
        present.push_back(bus.enumerate().size());
        opened.push_back(bus.open(path) != nullptr);
    });
    bus.addHead();
    bus.unplug("/dev/hidraw-sim0");
    EXPECT_EQ(present, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(opened, (std::vector<bool>{true, false}));
}

TEST_F(SimBusTest, DuplicatePathIsRefused)
{
    bus.addHead("/dev/x");
    EXPECT_THROW(bus.addHead("/dev/x"), std::invalid_argument);
    EXPECT_THROW(bus.addForeignDevice("/dev/x", 1, 2, u"", u""), std::invalid_argument);
}

TEST_F(SimBusTest, HeadHandleCarriesTheTestersIdsAndStrings)
{
    SimHead& head = bus.addHead();
    const std::unique_ptr<HidHandle> handle = bus.open(head.path());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->path(), head.path());
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(handle->attributes(vendor, product));
    EXPECT_EQ(vendor, tester::kVendorId);
    EXPECT_EQ(product, tester::kProductId);
    std::u16string text;
    ASSERT_TRUE(handle->manufacturerString(text));
    EXPECT_EQ(text, u"KestrelTestWork");
    ASSERT_TRUE(handle->productString(text));
    EXPECT_EQ(text, u"KestrelProbeV4");
}

// A head that is listed but may not be opened, for the station's "cannot be opened" state.
struct RefusedCase {
    const char* name;
    int error;
};

class SimBusRefusedHead : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(SimBusRefusedHead, IsListedWithItsIdsButOpensOnlyOnceAllowed)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    bus.refuseOpen(head.path(), GetParam().error);

    EXPECT_EQ(bus.enumerate(), std::vector<std::string>{head.path()});
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(bus.listedIds(head.path(), vendor, product));
    EXPECT_EQ(vendor, tester::kVendorId);
    EXPECT_EQ(product, tester::kProductId);
    EXPECT_EQ(bus.open(head.path()), nullptr);
    int error = 0;
    EXPECT_EQ(bus.tryOpen(head.path(), error), nullptr);
    EXPECT_EQ(error, GetParam().error);

    const HidFindResult found = FindTester(bus);
    EXPECT_EQ(found.code, HID_NOT_ACCESSIBLE);
    EXPECT_EQ(found.openError, GetParam().error);

    bus.refuseOpen(head.path(), 0);
    EXPECT_NE(bus.tryOpen(head.path(), error), nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_NE(OpenTester(bus), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Reasons, SimBusRefusedHead,
                         ::testing::Values(RefusedCase{"PermissionDenied", EACCES},
                                           RefusedCase{"Busy", EBUSY}),
                         ByName());

TEST_F(SimBusTest, UnpluggedDeviceListsNoIds)
{
    bus.addForeignDevice("/dev/hidraw-kbd", 0x046D, 0xC31C, u"Logi", u"Keyboard");
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(bus.listedIds("/dev/hidraw-kbd", vendor, product));
    EXPECT_EQ(vendor, 0x046D);
    EXPECT_EQ(product, 0xC31C);
    bus.unplug("/dev/hidraw-kbd");
    EXPECT_FALSE(bus.listedIds("/dev/hidraw-kbd", vendor, product));
    EXPECT_FALSE(bus.listedIds("/dev/none", vendor, product));
}

// Other devices: what their handles tell.
struct ForeignCase {
    const char* name;
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    bool openable;
};

class SimBusForeign : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(SimBusForeign, HandleReportsWhatWasGiven)
{
    SimBus bus;
    const ForeignCase& c = GetParam();
    bus.addForeignDevice("/dev/other", tester::kVendorId, tester::kProductId, c.manufacturer, c.product,
                         c.openable);
    EXPECT_EQ(bus.enumerate(),
              std::vector<std::string>{"/dev/other"}); // listed even when it cannot be opened
    const std::unique_ptr<HidHandle> handle = bus.open("/dev/other");
    if (!c.openable) {
        EXPECT_EQ(handle, nullptr);
        return;
    }
    ASSERT_NE(handle, nullptr);
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(handle->attributes(vendor, product));
    EXPECT_EQ(vendor, tester::kVendorId);
    EXPECT_EQ(product, tester::kProductId);
    std::u16string text;
    EXPECT_EQ(handle->manufacturerString(text), c.manufacturer.has_value());
    if (c.manufacturer) {
        EXPECT_EQ(text, *c.manufacturer);
    }
    EXPECT_EQ(handle->productString(text), c.product.has_value());
    if (c.product) {
        EXPECT_EQ(text, *c.product);
    }

    // It takes reports but never answers.
    Report r = header(0x24);
    EXPECT_TRUE(handle->write(r.data(), r.size()));
    EXPECT_EQ(handle->read(r.data(), r.size(), 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SimBusForeign,
    ::testing::Values(ForeignCase{"Readable", u"OtherMaker12345", u"KestrelProbeV4", true},
                      ForeignCase{"NonLatin1", u"\u00C4\u20ACx", u"Probe", true},
                      ForeignCase{"ManufacturerUnreadable", std::nullopt, u"Probe", true},
                      ForeignCase{"ProductUnreadable", u"Maker", std::nullopt, true},
                      ForeignCase{"NotOpenable", u"Maker", u"Probe", false}),
    ByName());

TEST_F(SimBusTest, UnplugKillsOpenHandlesForGood)
{
    SimHead& head = bus.addHead();
    bus.addForeignDevice("/dev/other", 1, 2, u"m", u"p");
    std::unique_ptr<HidHandle> headHandle = bus.open(head.path());
    std::unique_ptr<HidHandle> otherHandle = bus.open("/dev/other");
    ASSERT_NE(headHandle, nullptr);
    ASSERT_NE(otherHandle, nullptr);

    // A reply is waiting when the head goes: it is lost with the handle.
    Report r = header(0x24);
    ASSERT_TRUE(headHandle->write(r.data(), r.size()));
    bus.unplug(head.path());
    bus.unplug("/dev/other");

    for (HidHandle* handle : {headHandle.get(), otherHandle.get()}) {
        EXPECT_FALSE(handle->write(r.data(), r.size()));
        EXPECT_EQ(handle->read(r.data(), r.size(), 0), -1);
        EXPECT_EQ(handle->read(r.data(), r.size(), -1), -1); // even a blocking read returns
        std::uint16_t vendor = 0, product = 0;
        EXPECT_FALSE(handle->attributes(vendor, product));
    }
    EXPECT_EQ(bus.open(head.path()), nullptr);
    EXPECT_EQ(bus.open("/dev/other"), nullptr);

    // Plugged in again, new handles work and the old ones stay dead.
    bus.plug(head.path());
    bus.plug("/dev/other");
    EXPECT_FALSE(headHandle->write(r.data(), r.size()));
    EXPECT_EQ(otherHandle->read(r.data(), r.size(), 0), -1);
    Wire wire(bus.open(head.path()));
    EXPECT_EQ(wire.exchange({header(0x24)}).size(), 1U);
}

TEST_F(SimBusTest, BlockedReaderWakesWhenTheHeadIsUnplugged)
{
    SimHead& head = bus.addHead();
    std::unique_ptr<HidHandle> handle = bus.open(head.path());
    int result = 1;
    std::thread reader([&] {
        Report r{};
        result = handle->read(r.data(), r.size(), -1);
    });
    // Let the reader block (the outcome does not depend on it, only the path taken).
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bus.unplug(head.path());
    reader.join();
    EXPECT_EQ(result, -1);
}

TEST_F(SimBusTest, EveryOpenHandleGetsTheReplies)
{
    SimHead& head = bus.addHead();
    Wire first(bus.open(head.path()));
    Wire second(bus.open(head.path()));
    first.send({header(0x24)});
    EXPECT_EQ(first.replies().size(), 1U);
    EXPECT_EQ(second.replies().size(), 1U);
}

TEST_F(SimBusTest, HandlesOutliveTheBus)
{
    std::unique_ptr<HidHandle> handle;
    {
        SimBus shortLived;
        handle = shortLived.open(shortLived.addHead().path());
        ASSERT_NE(handle, nullptr);
    }
    Report r = header(0x24);
    EXPECT_FALSE(handle->write(r.data(), r.size()));
    EXPECT_EQ(handle->read(r.data(), r.size(), 0), -1);
}

TEST_F(SimBusTest, HeadLookupByPath)
{
    SimHead& head = bus.addHead("/dev/h");
    bus.addForeignDevice("/dev/f", 1, 2, u"", u"");
    EXPECT_EQ(bus.head("/dev/h"), &head);
    EXPECT_EQ(bus.head("/dev/f"), nullptr);
    EXPECT_EQ(bus.head("/dev/none"), nullptr);
}

} // namespace
