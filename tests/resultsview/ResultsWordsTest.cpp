#include "ResultsWords.h"

#include <gtest/gtest.h>

namespace {

// The line the station shows when a run is recorded counts the boards in the operator's words:
// a board not measured reads as on the grid, never as the record name NOT_MEASURED.
struct CountsCase {
    const char* name;
    bool english;
    const char* expected;
};

class RecordedCounts : public testing::TestWithParam<CountsCase> {};

TEST_P(RecordedCounts, NameTheVerdictsInTheOperatorsWords)
{
    const std::vector<RunVerdict> boards{RunVerdict::Pass, RunVerdict::NotMeasured, RunVerdict::Fail,
                                         RunVerdict::Pass};
    EXPECT_EQ(resultsview::verdictCounts(boards, GetParam().english).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Languages, RecordedCounts,
                         testing::Values(CountsCase{"English", true, "2 PASS, 1 FAIL, 1 NOT MEASURED"},
                                         CountsCase{"Chinese", false, "2 PASS, 1 FAIL, 1 未测量"}),
                         [](const testing::TestParamInfo<CountsCase>& param) { return param.param.name; });

// Every mode a channel can have reads in the monitor's words; a mode the file should not hold
// shows as its number rather than as nothing.
struct ModeCase {
    const char* name;
    int mode;
    const char* english;
    const char* chinese;
};

class ModeWords : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeWords, MatchTheChannelMonitor)
{
    EXPECT_EQ(resultsview::modeText(GetParam().mode, true).toStdString(), GetParam().english);
    EXPECT_EQ(resultsview::modeText(GetParam().mode, false).toStdString(), GetParam().chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeWords,
    testing::Values(ModeCase{"Open", 0, "Open", "打开"}, ModeCase{"Closed", 1, "Closed", "关闭"},
                    ModeCase{"Masked", 2, "Masked", "屏蔽"}, ModeCase{"LowerOnly", 4, "Lower only", "仅下限"},
                    ModeCase{"UpperOnly", 8, "Upper only", "仅上限"}, ModeCase{"Unknown", 3, "3", "3"}),
    [](const testing::TestParamInfo<ModeCase>& param) { return param.param.name; });

} // namespace
