// The tool's session with a head that is plugged in but cannot be opened (no udev rule, held by
// another program): it says what the window says, not "no head", and exits 2.
#include "HeadSession.h"

#include "ExitCode.h"
#include "ListCommand.h"
#include "sim/SimBus.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct RefusedCase {
    const char* name;
    int error;
    texts::TextId reason;
};

class RefusedHead : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedHead, SaysWhyAndWhatToDoAndExits2)
{
    auto bus = std::make_unique<SimBus>();
    SimHead& head = bus->addHead();
    bus->refuseOpen(head.path(), GetParam().error);
    cli::HeadSession session(cli::GlobalOptions{}, std::move(bus));

    ::testing::internal::CaptureStderr();
    const int code = session.open();
    const std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(code, cli::kHeadProblem);
    const bool english = session.english();
    char expected[512];
    std::snprintf(expected, sizeof expected, texts::text(texts::TextId::HeadNotAccessible, english),
                  texts::text(GetParam().reason, english));
    EXPECT_EQ(err, std::string(expected) + '\n');
    EXPECT_THAT(err, Not(HasSubstr(station::text::kNoHeadAtStart)));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, RefusedHead,
    ::testing::Values(RefusedCase{"PermissionDenied", EACCES, texts::TextId::HeadReasonPermission},
                      RefusedCase{"NotPermitted", EPERM, texts::TextId::HeadReasonPermission},
                      RefusedCase{"HeldByAnotherProgram", EBUSY, texts::TextId::HeadReasonBusy}),
    [](const ::testing::TestParamInfo<RefusedCase>& p) { return std::string(p.param.name); });

TEST(RefusedHead, NoHeadAtAllIsStillDisconnected)
{
    cli::HeadSession session(cli::GlobalOptions{}, std::make_unique<SimBus>());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(session.open(), cli::kHeadProblem);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(station::text::kNoHeadAtStart) + '\n');
}

// `list` shows a head it cannot open, with the reason, beside the ones it can; it used to leave
// it out, so a missing udev rule looked like no head at all.
TEST(RefusedHead, ListShowsItWithTheReason)
{
    SimBus bus;
    bus.addHead("/dev/hidraw-sim0").loadDemoSetup();
    bus.addHead("/dev/hidraw-sim1");
    bus.refuseOpen("/dev/hidraw-sim1", EACCES);

    std::ostringstream text;
    cli::listTesters(bus, true, false, text);
    EXPECT_THAT(text.str(), HasSubstr("/dev/hidraw-sim0\t"));
    EXPECT_THAT(text.str(), HasSubstr("\tTRIVELLAV2\n"));
    EXPECT_THAT(text.str(), HasSubstr("/dev/hidraw-sim1\tnot accessible: permission denied\t-\n"));

    std::ostringstream json;
    cli::listTesters(bus, true, true, json);
    const nlohmann::json list = nlohmann::json::parse(json.str());
    ASSERT_EQ(list["testers"].size(), 2U);
    EXPECT_EQ(list["testers"][0]["accessible"], true);
    EXPECT_TRUE(list["testers"][0]["notAccessibleReason"].is_null());
    EXPECT_EQ(list["testers"][1]["path"], "/dev/hidraw-sim1");
    EXPECT_EQ(list["testers"][1]["accessible"], false);
    EXPECT_EQ(list["testers"][1]["notAccessibleReason"], "permission denied");
    EXPECT_TRUE(list["testers"][1]["guid"].is_null());
}

} // namespace
