#include "ResultsExport.h"

#include "ResultsStore.h"
#include "ResultsSummary.h"
#include "SampleRuns.h"
#include "persistence/TempDir.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace {

class ResultsExportTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        store = std::make_unique<ResultsStore>(dir / "results.sqlite");
        store->write(sampleRun(1, 4, 16));
        store->write(sampleRun(2, 4, 16, 2, 13));
        auto third = sampleRun(3, 4, 16, 2, 13);
        third.boards[0].serial = "SN, \"quoted\"";
        third.boards[1].verdict = RunVerdict::Load;
        store->write(third);
    }

    static std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    std::unique_ptr<ResultsStore> store;
};

TEST_F(ResultsExportTest, CsvHasAHeaderAndOneLinePerBoardResult)
{
    std::ostringstream out;
    exportCsv(*store, {}, out);
    const auto rows = lines(out.str());
    ASSERT_EQ(rows.size(), 1U + 12U);
    EXPECT_EQ(rows[0].rfind("runId,startedAt,endedAt,stationId,operator,", 0), 0U) << rows[0];
    for (const auto& row : rows)
        EXPECT_EQ(row.back(), '\r') << "CRLF line ends";
    // Run 2, board 2: the failed channel is listed.
    EXPECT_NE(rows[7].find(",SN-2-2,FAIL,5,,,16,13\r"), std::string::npos) << rows[7];
    // Run 1, board 1 has the Pearson check on.
    EXPECT_NE(rows[2].find(",SN-1-1,PASS,0,0.9875,0.95,16,\r"), std::string::npos) << rows[2];
    // A serial with a comma and quotes stays one field.
    EXPECT_NE(rows[9].find(",\"SN, \"\"quoted\"\"\",PASS,"), std::string::npos) << rows[9];
}

TEST_F(ResultsExportTest, JsonHasOneObjectPerBoardResultWithItsChannelRows)
{
    std::ostringstream out;
    exportJson(*store, {}, out);
    const auto json = nlohmann::json::parse(out.str());
    ASSERT_TRUE(json.is_array());
    ASSERT_EQ(json.size(), 12U);
    const auto& failing = json[6];
    const std::set<std::string> boardKeys{"runId",
                                          "startedAt",
                                          "endedAt",
                                          "stationId",
                                          "operator",
                                          "headGuid",
                                          "deviceType",
                                          "firmwareVersion",
                                          "stationVersion",
                                          "setupHash",
                                          "cycleCount",
                                          "row",
                                          "col",
                                          "index",
                                          "serial",
                                          "verdict",
                                          "failedCycles",
                                          "pearson",
                                          "pearsonThreshold",
                                          "channels"};
    std::set<std::string> keys;
    for (const auto& [key, value] : failing.items())
        keys.insert(key);
    EXPECT_EQ(keys, boardKeys);
    EXPECT_EQ(failing["serial"], "SN-2-2");
    EXPECT_EQ(failing["verdict"], "FAIL");
    EXPECT_TRUE(failing["pearson"].is_null());
    ASSERT_EQ(failing["channels"].size(), 16U);
    const auto& channel13 = failing["channels"][13];
    EXPECT_EQ(channel13["channel"], 13);
    EXPECT_EQ(channel13["mode"], "Open");
    EXPECT_EQ(channel13["pass"], false);
    EXPECT_EQ(channel13["reference"], 1000 + 20 + 13);
    EXPECT_EQ(channel13["mean"], 1033.25);
    EXPECT_EQ(channel13["sd"], 1.5);
    for (const auto* key : {"low", "high", "min", "max"})
        EXPECT_TRUE(channel13.contains(key)) << key;
    EXPECT_EQ(failing["channels"][1]["mode"], "Closed");
}

TEST_F(ResultsExportTest, ExportFiltersBySerialAndStartTime)
{
    ResultsStore::Filter bySerial;
    bySerial.serial = "SN-2-3";
    std::ostringstream one;
    exportJson(*store, bySerial, one);
    const auto json = nlohmann::json::parse(one.str());
    ASSERT_EQ(json.size(), 1U);
    EXPECT_EQ(json[0]["index"], 3);

    ResultsStore::Filter since;
    since.since = sampleRun(2).startedAt;
    std::ostringstream csv;
    exportCsv(*store, since, csv);
    EXPECT_EQ(lines(csv.str()).size(), 1U + 8U);

    std::ostringstream none;
    since.since = "2099-01-01";
    exportJson(*store, since, none);
    EXPECT_EQ(nlohmann::json::parse(none.str()), nlohmann::json::array());
}

TEST_F(ResultsExportTest, SummaryGivesYieldPerPositionAndTheMostFailingChannelFirst)
{
    auto fourth = sampleRun(4, 4, 16, 0, 7);
    fourth.boards[0].channels[7].pass = false;
    store->write(fourth);

    ResultsStore::Filter all;
    all.limit = -1;
    const auto summary = summariseResults(*store, all);
    EXPECT_EQ(summary.runs, 4);
    ASSERT_EQ(summary.positions.size(), 4U);
    const auto& position2 = summary.positions[2];
    EXPECT_EQ(position2.tested, 4);
    EXPECT_EQ(position2.passed, 2);
    EXPECT_EQ(position2.failed, 2);
    EXPECT_DOUBLE_EQ(*position2.yield(), 0.5);
    EXPECT_EQ(summary.positions[1].load, 1);
    EXPECT_DOUBLE_EQ(*summary.positions[1].yield(), 1.0) << "LOAD is not judged";
    ASSERT_EQ(summary.pareto.size(), 2U);
    EXPECT_EQ(summary.pareto[0].boardIndex, 2);
    EXPECT_EQ(summary.pareto[0].channel, 13);
    EXPECT_EQ(summary.pareto[0].failures, 2);
    EXPECT_EQ(summary.pareto[1].channel, 7);

    ResultsStore::Filter latestTwo;
    latestTwo.limit = 2;
    const auto recent = summariseResults(*store, latestTwo);
    EXPECT_EQ(recent.runs, 2);
    EXPECT_EQ(recent.positions[2].failed, 1);

    const auto json = summaryJson(summary);
    EXPECT_EQ(json["mostFailingChannels"][0]["channel"], 13);
    EXPECT_EQ(json["positions"][2]["yield"], 0.5);
}

} // namespace
