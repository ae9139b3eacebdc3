// Finding the head among the HID interfaces present.
#include "FakeHid.h"
#include "device/DeviceIds.h"
#include "device/hiddata.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

constexpr std::uint16_t kVid = tester::kVendorId;
constexpr std::uint16_t kPid = tester::kProductId;

FakeBus::Device tester(const std::string& path)
{
    return {path, kVid, kPid, u"KestrelTestWork", u"KestrelProbeV4"};
}

struct DiscoveryCase {
    const char* name;
    std::vector<FakeBus::Device> devices;
    int expectedCode;
    std::string expectedPath; // empty: no handle
};

std::vector<DiscoveryCase> discoveryCases()
{
    FakeBus::Device keyboard{"/dev/hidraw0", 0x046D, 0xC31C, u"Logi", u"Keyboard", false};
    FakeBus::Device mouse{"/dev/hidraw1", 0x046D, 0xC077, u"Logi", u"Mouse"};
    FakeBus::Device otherMaker{"/dev/hidraw2", kVid, kPid, u"SomebodyElseInc", u"KestrelProbeV4"};
    FakeBus::Device otherProduct{"/dev/hidraw2", kVid, kPid, u"KestrelTestWork", u"KestrelProbeV3"};
    FakeBus::Device unreadableMaker{"/dev/hidraw3", kVid, kPid, std::nullopt, u"KestrelProbeV4"};
    FakeBus::Device unreadableProduct{"/dev/hidraw3", kVid, kPid, u"KestrelTestWork", std::nullopt};
    // 'K' replaced by U+20AC narrows to '?' and so differs.
    FakeBus::Device wideText{"/dev/hidraw4", kVid, kPid, u"\u20ACestrelTestWork", u"KestrelProbeV4"};
    FakeBus::Device unopenableTester = tester("/dev/hidraw5");
    unopenableTester.openable = false;

    return {
        {"NothingAttached", {}, HID_NOT_FOUND, ""},
        {"OnlyOtherDevices", {keyboard, mouse}, HID_NOT_FOUND, ""},
        {"TesterAfterOthers", {keyboard, mouse, tester("/dev/hidraw7")}, HID_FOUND, "/dev/hidraw7"},
        {"TwoTestersFirstWins", {tester("/dev/hidraw8"), tester("/dev/hidraw9")}, HID_FOUND, "/dev/hidraw8"},
        {"WrongManufacturerPassedOver", {otherMaker, tester("/dev/hidraw9")}, HID_FOUND, "/dev/hidraw9"},
        {"WrongProductOnly", {otherProduct}, HID_NOT_FOUND, ""},
        {"NonLatin1TextFailsAndEnumerationGoesOn",
         {wideText, tester("/dev/hidraw9")},
         HID_FOUND,
         "/dev/hidraw9"},
        {"UnreadableManufacturerAlone", {unreadableMaker}, HID_STRING_UNREADABLE, ""},
        {"UnreadableProductAlone", {unreadableProduct}, HID_STRING_UNREADABLE, ""},
        {"UnreadableThenMatch", {unreadableMaker, tester("/dev/hidraw9")}, HID_FOUND, "/dev/hidraw9"},
        // A later id match resets the result, even if its strings then differ.
        {"UnreadableThenOtherMaker", {unreadableMaker, otherMaker}, HID_NOT_FOUND, ""},
        {"UnreadableThenNonMatchingIds", {unreadableMaker, mouse}, HID_STRING_UNREADABLE, ""},
        {"UnopenableSkippedSilently", {unopenableTester}, HID_NOT_FOUND, ""},
    };
}

class Discovery : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, FindsTheRightInterface)
{
    FakeBus bus;
    for (const auto& d : GetParam().devices)
        bus.add(d);
    HidFindResult result = FindHidDevice(bus, kVid, tester::kManufacturer, kPid, tester::kProduct);
    EXPECT_EQ(result.code, GetParam().expectedCode);
    EXPECT_EQ(result.handle ? result.handle->path() : std::string(), GetParam().expectedPath);

    std::unique_ptr<HidHandle> opened = OpenTester(bus);
    EXPECT_EQ(opened ? opened->path() : std::string(), GetParam().expectedPath);
}

INSTANTIATE_TEST_SUITE_P(Cases, Discovery, ::testing::ValuesIn(discoveryCases()),
                         [](const auto& tc) { return std::string(tc.param.name); });

// A head the system lists but will not open (no udev rule, held by another program) is reported
// with the reason, unless an openable head is found as well.
struct NotAccessibleCase {
    const char* name;
    int openError;     // errno of the failed open of the listed head
    bool otherHeadToo; // an openable head follows it on the bus
    bool otherIdsOnly; // the unopenable device is not a head (other ids)
    int expectedCode;
    int expectedError;
};

class NotAccessible : public ::testing::TestWithParam<NotAccessibleCase> {};

TEST_P(NotAccessible, ReportsTheReasonOnlyWhenNoHeadCanBeOpened)
{
    const NotAccessibleCase& tc = GetParam();
    FakeBus bus;
    FakeBus::Device locked = tester("/dev/hidraw3");
    if (tc.otherIdsOnly)
        locked.pid = static_cast<std::uint16_t>(kPid + 1);
    locked.openable = false;
    locked.openError = tc.openError;
    bus.add(locked);
    if (tc.otherHeadToo)
        bus.add(tester("/dev/hidraw9"));

    HidFindResult result = FindHidDevice(bus, kVid, tester::kManufacturer, kPid, tester::kProduct);
    EXPECT_EQ(result.code, tc.expectedCode);
    EXPECT_EQ(result.openError, tc.expectedError);
    EXPECT_EQ(result.handle != nullptr, tc.expectedCode == HID_FOUND);

    HidFindResult head = FindTester(bus);
    EXPECT_EQ(head.code, tc.expectedCode);
    EXPECT_EQ(head.openError, tc.expectedError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotAccessible,
    ::testing::Values(NotAccessibleCase{"PermissionDenied", EACCES, false, false, HID_NOT_ACCESSIBLE, EACCES},
                      NotAccessibleCase{"NotPermitted", EPERM, false, false, HID_NOT_ACCESSIBLE, EPERM},
                      NotAccessibleCase{"Busy", EBUSY, false, false, HID_NOT_ACCESSIBLE, EBUSY},
                      NotAccessibleCase{"OpenableHeadFoundInstead", EACCES, true, false, HID_FOUND, 0},
                      NotAccessibleCase{"OtherDeviceLockedIsNoHead", EACCES, false, true, HID_NOT_FOUND, 0}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(Discovery, MissingHeadIsStillNotFound)
{
    FakeBus bus;
    bus.add({"/dev/hidraw0", 0x046D, 0xC31C, u"Logi", u"Keyboard"});
    const HidFindResult result = FindTester(bus);
    EXPECT_EQ(result.code, HID_NOT_FOUND);
    EXPECT_EQ(result.openError, 0);
}

TEST(Discovery, AbsentTextsAcceptFirstIdMatchWithoutReadingStrings)
{
    FakeBus bus;
    bus.add({"/dev/hidraw1", kVid, kPid, std::nullopt, std::nullopt});
    for (auto [maker, product] : {std::pair<const char*, const char*>{nullptr, "KestrelProbeV4"},
                                  std::pair<const char*, const char*>{"KestrelTestWork", nullptr}}) {
        HidFindResult result = FindHidDevice(bus, kVid, maker, kPid, product);
        EXPECT_EQ(result.code, HID_FOUND);
        ASSERT_TRUE(result.handle);
        EXPECT_EQ(result.handle->path(), "/dev/hidraw1");
    }
}

TEST(Narrowing, KeepsLatin1AndMarksEverythingElse)
{
    EXPECT_EQ(narrowUtf16(u"\u00C4\u20ACx"), std::string("\xC4?x"));
    EXPECT_EQ(narrowUtf16(u""), std::string());
}

TEST(ManufacturerText, IsFifteenAsciiCharacters)
{
    const std::string text = tester::kManufacturer;
    EXPECT_EQ(text.size(), 15U);
    for (char c : text)
        EXPECT_TRUE(c > 0x20 && c < 0x7F);
}

} // namespace
