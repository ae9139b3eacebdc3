#include "CResultsDlg.h"
#include "ResultsStore.h"
#include "persistence/TempDir.h"
#include "results/SampleRuns.h"
#include "support/VisibleTexts.h"

#include <QTableWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ResultsViewTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ResultsStore store(file());
        store.write(sampleRun(1, 4, 40));
        store.write(sampleRun(2, 4, 40, 3, 13));
    }
    std::filesystem::path file() const { return dir / "results.sqlite"; }

    static QString text(QTableWidget* table, int row, int column)
    {
        const auto* item = table->item(row, column);
        return item != nullptr ? item->text() : QString();
    }

    // Keeps a picture of the view when STATION_SCREENSHOT_DIR is set, to look at it.
    static void keepPicture(QWidget& widget, const char* name)
    {
        if (const char* folder = std::getenv("STATION_SCREENSHOT_DIR"))
            widget.grab().save(QString::fromUtf8(folder) + QLatin1Char('/') + QString::fromLatin1(name));
    }
};

TEST_F(ResultsViewTest, ShowsBothRunsFiltersFailAndPutsTheFailingChannelFirst)
{
    resultsview::CResultsDlg view(file(), true);
    view.show();
    auto* results = view.resultTable();
    ASSERT_EQ(results->rowCount(), 8);
    EXPECT_EQ(text(results, 0, 2), "SN-2-0") << "newest run first";
    EXPECT_EQ(text(results, 3, 3), "FAIL");
    EXPECT_EQ(text(results, 4, 2), "SN-1-0");

    auto* pareto = view.paretoTable();
    ASSERT_GE(pareto->rowCount(), 1);
    EXPECT_EQ(text(pareto, 0, 0), "4") << "position of board index 3";
    EXPECT_EQ(text(pareto, 0, 1), "13");
    EXPECT_EQ(text(pareto, 0, 2), "1");

    auto* yield = view.yieldTable();
    ASSERT_EQ(yield->rowCount(), 4);
    EXPECT_EQ(text(yield, 3, 5), "50.0 %");
    EXPECT_EQ(text(yield, 0, 5), "100.0 %");

    view.selectResult(3);
    auto* channels = view.channelTable();
    ASSERT_EQ(channels->rowCount(), 40);
    EXPECT_EQ(text(channels, 13, 9), "FAIL");
    EXPECT_EQ(text(channels, 12, 9), "PASS");
    EXPECT_EQ(text(channels, 13, 2), QString::number(1000 + 30 + 13));
    keepPicture(view, "results-view.png");

    view.setVerdictFilter(RunVerdict::Fail);
    ASSERT_EQ(results->rowCount(), 1);
    EXPECT_EQ(text(results, 0, 2), "SN-2-3");
    EXPECT_EQ(text(results, 0, 3), "FAIL");
    EXPECT_EQ(yield->rowCount(), 4) << "the yield stays that of every board result shown";
    keepPicture(view, "results-view-fail.png");

    view.setVerdictFilter(std::nullopt);
    view.setSerialFilter("SN-1-2");
    ASSERT_EQ(results->rowCount(), 1);
    EXPECT_EQ(text(results, 0, 2), "SN-1-2");
}

TEST_F(ResultsViewTest, AMissingFileSaysSoInsteadOfCreatingIt)
{
    const auto missing = dir / "none" / "results.sqlite";
    resultsview::CResultsDlg view(missing, false);
    EXPECT_EQ(view.resultTable()->rowCount(), 0);
    EXPECT_TRUE(view.statusText().contains(QString::fromStdString(missing.string())));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// Every word of the view is in the operator's language: title, filters, group titles, column
// titles and the status line, with results and without a file. The cells hold the records'
// serials, times and names and are checked in English only.
struct LanguageCase {
    const char* name;
    bool english;
    bool withFile;
};

class ResultsViewLanguage : public ResultsViewTest, public testing::WithParamInterface<LanguageCase> {};

TEST_P(ResultsViewLanguage, EveryShownTextIsInTheChosenLanguage)
{
    const auto shownFile = GetParam().withFile ? file() : dir / "none" / "results.sqlite";
    resultsview::CResultsDlg view(shownFile, GetParam().english);
    view.show();
    if (GetParam().withFile)
        view.selectResult(3);
    std::vector<test::ShownText> shown = test::visibleTexts(view);
    for (test::ShownText& text : shown)
        text.text.remove(QString::fromStdString(shownFile.string())); // the status line names the file
    const auto wrong = test::wrongLanguage(shown, GetParam().english, false);
    EXPECT_TRUE(wrong.empty()) << test::describe(wrong);
}

INSTANTIATE_TEST_SUITE_P(Languages, ResultsViewLanguage,
                         testing::Values(LanguageCase{"EnglishWithResults", true, true},
                                         LanguageCase{"ChineseWithResults", false, true},
                                         LanguageCase{"EnglishWithoutFile", true, false},
                                         LanguageCase{"ChineseWithoutFile", false, false}),
                         [](const testing::TestParamInfo<LanguageCase>& param) { return param.param.name; });

} // namespace
