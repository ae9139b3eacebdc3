// The window's part in test results, offscreen against the simulated head: the Results menu,
// the serial entry a barcode scanner types into, and the Results view.
#include "WindowRig.h"
#include "persistence/TempDir.h"
#include "results/PendingRuns.h"
#include "results/ResultsStore.h"
#include "resultsview/CResultsDlg.h"
#include "sim/DemoSetup.h"
#include "sim/HeadState.h"
#include "station/CommandIds.h"
#include "uikit/ControlId.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class ResultsWindowTest : public TempDirTest {
protected:
    std::filesystem::path file() const { return dir / "results.sqlite"; }

    // A key as the keyboard (or a scanner) gives it, through the application's event filters.
    static void key(QWidget* target, int code, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &release);
    }
    // What a barcode scanner does: the characters, then Enter.
    static void scan(QLineEdit* entry, const QString& serial)
    {
        entry->setFocus();
        for (const QChar c : serial)
            key(entry, c.toUpper().unicode(), QString(c));
        key(entry, Qt::Key_Return);
    }
};

TEST_F(ResultsWindowTest, TheResultsMenuCarriesBothCommandsInBothLanguages)
{
    WindowRig rig;
    rig.window.setResultsFile(file());
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(
        rig.pump([&] { return uikit::findCommand(rig.window.menuBar(), station::cmd::kShowResults); }));
    auto* record = uikit::findCommand(rig.window.menuBar(), station::cmd::kRecordResult);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->text().contains(QStringLiteral("F9")));
    const auto tops = rig.window.menuBar()->actions();
    EXPECT_EQ(tops.last()->menu()->actions().size(), 2) << "Results is the last menu";

    rig.window.runCommand(station::cmd::kEnglish);
    ASSERT_TRUE(rig.pump([&] {
        auto* show = uikit::findCommand(rig.window.menuBar(), station::cmd::kShowResults);
        return show != nullptr && show->text() == QStringLiteral("&Show results");
    }));
}

TEST_F(ResultsWindowTest, ASerialTwiceIsRefusedAndTheLastSerialStartsTheRun)
{
    WindowRig rig; // 2 x 2 boards
    rig.window.setResultsFile(file());
    ASSERT_TRUE(rig.startRunning());
    auto* entry = rig.window.recordingBar()->serialEntry();
    scan(entry, QStringLiteral("P-100"));
    scan(entry, QStringLiteral("P-101"));
    scan(entry, QStringLiteral("P-100"));
    ASSERT_EQ(rig.messages.messages.size(), 1U);
    EXPECT_TRUE(rig.messages.texts()[0].contains(QStringLiteral("P-100")));
    EXPECT_FALSE(rig.window.recording()->busy());
    scan(entry, QStringLiteral("P-102"));
    EXPECT_FALSE(rig.window.recording()->busy()) << "one more board expects a serial";
    scan(entry, QStringLiteral("P-103"));
    EXPECT_TRUE(rig.window.recording()->busy()) << "the last serial starts the run";
    EXPECT_EQ(rig.messages.messages.size(), 1U);
}

TEST_F(ResultsWindowTest, EnterTakesASerialInTheEntryAndReleasesTheLatchesElsewhere)
{
    WindowRig rig;
    rig.window.setResultsFile(file());
    ASSERT_TRUE(rig.startRunning());
    auto& latch = rig.window.grid().panel(0, 0).excess[0];
    auto* entry = rig.window.recordingBar()->serialEntry();

    latch = 1;
    scan(entry, QStringLiteral("M 1")); // M (the monitor's key elsewhere) and a blank are the serial's
    EXPECT_EQ(latch.load(), 1) << "Enter and Space of a scan stay in the entry";
    EXPECT_TRUE(entry->text().isEmpty()) << "the serial was taken";
    EXPECT_EQ(rig.window.recordingBar()->takeSerials(), (std::map<int, std::string>{{0, "M 1"}}));

    for (const int code : {Qt::Key_Return, Qt::Key_Space}) {
        latch = 1;
        key(&rig.window, code);
        EXPECT_EQ(latch.load(), 0) << code;
    }
    EXPECT_FALSE(rig.window.recording()->busy());
}

TEST_F(ResultsWindowTest, RecordResultWithoutAHeadSaysSo)
{
    WindowRig rig(false);
    rig.window.setResultsFile(file());
    rig.window.initialise(false);
    rig.window.runCommand(station::cmd::kRecordResult);
    ASSERT_EQ(rig.messages.messages.size(), 1U);
    EXPECT_FALSE(std::filesystem::exists(file()));
}

// The view open while the operator switches the language follows it, like the monitors.
TEST_F(ResultsWindowTest, OpenViewFollowsTheLanguageSwitch)
{
    WindowRig rig;
    rig.window.setResultsFile(file());
    ASSERT_TRUE(rig.startRunning());
    rig.window.runCommand(station::cmd::kChinese);
    rig.window.runCommand(station::cmd::kShowResults);
    const auto title = [&rig] {
        auto* view = rig.window.resultsView();
        return view != nullptr && view->isVisible() ? view->windowTitle() : QString();
    };
    ASSERT_TRUE(rig.pump([&] { return title() == QString::fromUtf8("测试结果"); })) << title().toStdString();
    rig.window.runCommand(station::cmd::kEnglish);
    EXPECT_TRUE(rig.pump([&] { return title() == QStringLiteral("Results"); })) << title().toStdString();
}

TEST_F(ResultsWindowTest, ShowResultsOpensTheViewOnTheResultsFile)
{
    WindowRig rig(false);
    rig.window.setResultsFile(file());
    rig.window.initialise(false);
    rig.window.runCommand(station::cmd::kShowResults);
    ASSERT_NE(rig.window.resultsView(), nullptr);
    EXPECT_TRUE(rig.window.resultsView()->isVisible());
    EXPECT_TRUE(rig.window.resultsView()->statusText().contains(QString::fromStdString(file().string())));
}

// Records a run from the window's command and waits until it is in the file.
bool recordOneRun(WindowRig& rig, const std::filesystem::path& file, int runsBefore)
{
    rig.window.runCommand(station::cmd::kRecordResult);
    return rig.pump([&] {
        if (rig.window.recording()->busy() || rig.window.recording()->writer().waiting() > 0 ||
            !std::filesystem::exists(file))
            return false;
        ResultsStore::Options readOnly;
        readOnly.readOnly = true;
        return ResultsStore(file, readOnly).runCount() > runsBefore;
    });
}

QString cellText(QTableWidget* table, int row, int column)
{
    const auto* item = table->item(row, column);
    return item != nullptr ? item->text() : QString();
}

TEST_F(ResultsWindowTest, TwoRecordedRunsShowInTheViewWithTheFailingChannelFirst)
{
    WindowRig rig; // demo head: 2 x 2 boards of 40 channels, channel 13 of board 4 reads too low
    rig.window.setResultsFile(file());
    ASSERT_TRUE(rig.startRunning());
    const std::uint8_t address = demo::kFirstExpansionAddress + 3 / HeadState::kPortsPerBoard;
    const int port = 3 % HeadState::kPortsPerBoard;

    // First run with the panel mended: every board passes.
    rig.head->setChannelDefect(address, port, 13, demo::referenceCount(3, 13));
    ASSERT_TRUE(recordOneRun(rig, file(), 0));
    // Second run with the defect back.
    rig.head->setChannelDefect(address, port, 13,
                               static_cast<std::uint16_t>(demo::referenceCount(3, 13) * 7 / 10));
    ASSERT_TRUE(recordOneRun(rig, file(), 1));
    // The recording line tells the outcome once the writer has reported the run.
    EXPECT_TRUE(rig.pump([&] {
        return rig.window.recordingBar()->status().contains(QStringLiteral("1 FAIL"));
    })) << rig.window.recordingBar()->status().toStdString();

    rig.window.runCommand(station::cmd::kShowResults);
    auto* view = rig.window.resultsView();
    ASSERT_NE(view, nullptr);
    auto* results = view->resultTable();
    ASSERT_EQ(results->rowCount(), 8) << "two runs of four boards";
    int failing = 0;
    for (int row = 0; row < 8; ++row)
        failing += cellText(results, row, 3) == QStringLiteral("FAIL");
    EXPECT_EQ(failing, 1);
    EXPECT_EQ(cellText(results, 3, 3), QStringLiteral("FAIL")) << "newest run first, board 4 last";
    EXPECT_EQ(cellText(view->paretoTable(), 0, 1), QStringLiteral("13"));
    EXPECT_EQ(cellText(view->paretoTable(), 0, 0), QStringLiteral("4"));
    EXPECT_EQ(cellText(view->yieldTable(), 3, 5), QStringLiteral("50.0 %"));
    view->selectResult(3);
    EXPECT_EQ(cellText(view->channelTable(), 13, 9), QStringLiteral("FAIL"));
    if (const char* folder = std::getenv("STATION_SCREENSHOT_DIR")) {
        view->grab().save(QString::fromUtf8(folder) + QStringLiteral("/results-window-view.png"));
        rig.window.grab().save(QString::fromUtf8(folder) + QStringLiteral("/results-window.png"));
    }

    view->setVerdictFilter(RunVerdict::Fail);
    ASSERT_EQ(results->rowCount(), 1);
    EXPECT_EQ(cellText(results, 0, 3), QStringLiteral("FAIL"));
    EXPECT_EQ(cellText(view->paretoTable(), 0, 1), QStringLiteral("13"));
}

// Shows the message box the operator would get, for a look at it.
void saveMessageShot(const QString& text, const char* name)
{
    const char* folder = std::getenv("STATION_SCREENSHOT_DIR");
    if (folder == nullptr)
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("StenvikPlusDlg"), text, QMessageBox::Ok);
    box.show();
    QCoreApplication::processEvents();
    box.grab().save(QString::fromUtf8(folder) + QStringLiteral("/") + QString::fromLatin1(name));
}

TEST_F(ResultsWindowTest, AResultNotSavedWhenTheWindowClosesIsKeptAndSavedAtTheNextStart)
{
    {
        ResultsStore create(file());
    }
    auto other = std::make_unique<sqlite::Database>(file(), sqlite::Database::Mode::ReadWriteCreate,
                                                    std::chrono::milliseconds(0));
    other->exec("BEGIN EXCLUSIVE"); // another program holds the file
    const QString pending = QString::fromStdString(pendingRunsFile(file()).string());
    {
        WindowRig rig;
        rig.window.setResultsFile(file());
        ASSERT_TRUE(rig.startRunning());
        rig.window.runCommand(station::cmd::kRecordResult);
        ASSERT_TRUE(rig.pump([&] { return !rig.messages.messages.empty(); }))
            << "the file cannot take the run";
        rig.window.shutdown();
        ASSERT_EQ(rig.messages.messages.size(), 2U);
        const QString told = rig.messages.texts()[1];
        EXPECT_EQ(rig.messages.messages[1].icon, QMessageBox::Warning);
        EXPECT_TRUE(told.contains(pending)) << told.toStdString();
        EXPECT_TRUE(told.startsWith(QStringLiteral("1 "))) << told.toStdString();
        EXPECT_EQ(rig.window.recordingBar()->status(), told);
        saveMessageShot(told, "results-kept-at-exit.png");
    }
    other->exec("COMMIT");
    other.reset();

    WindowRig rig(false);
    rig.window.setResultsFile(file());
    rig.window.initialise(false);
    ASSERT_TRUE(rig.pump([&] { return rig.window.recordingBar()->status().contains(pending.chopped(14)); }));
    EXPECT_TRUE(rig.messages.messages.empty()) << "good news needs no box";
    EXPECT_EQ(ResultsStore(file()).runCount(), 1);
    EXPECT_FALSE(std::filesystem::exists(pendingRunsFile(file())));
    if (const char* folder = std::getenv("STATION_SCREENSHOT_DIR"))
        rig.window.grab().save(QString::fromUtf8(folder) + QStringLiteral("/results-kept-written-in.png"));
}

TEST_F(ResultsWindowTest, ADamagedFileOfKeptResultsIsShownAndLeftAlone)
{
    const std::string damaged = "{\"schema\": \"pending-run-1\", \"runId\": \"00000000-0000-4000-8000";
    writeAll(pendingRunsFile(file()), damaged);
    WindowRig rig(false);
    rig.window.setResultsFile(file());
    rig.window.initialise(false);
    ASSERT_TRUE(rig.pump([&] { return !rig.messages.messages.empty(); }));
    const QString told = rig.messages.texts()[0];
    EXPECT_TRUE(told.contains(QString::fromStdString(pendingRunsFile(file()).string())))
        << told.toStdString();
    EXPECT_EQ(rig.window.recordingBar()->status(), told);
    EXPECT_EQ(readAll(pendingRunsFile(file())), damaged);
    saveMessageShot(told, "results-kept-damaged.png");
}

} // namespace
