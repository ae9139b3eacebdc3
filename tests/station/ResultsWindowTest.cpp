// The window's part in test results, offscreen against the simulated head: the Results menu,
// the serial entry a barcode scanner types into, and the Results view.
#include "WindowRig.h"
#include "persistence/TempDir.h"
#include "resultsview/CResultsDlg.h"
#include "station/CommandIds.h"
#include "uikit/ControlId.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

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
    scan(entry, QStringLiteral("Q 1")); // a blank inside a serial is part of it
    EXPECT_EQ(latch.load(), 1) << "Enter and Space of a scan stay in the entry";
    EXPECT_TRUE(entry->text().isEmpty()) << "the serial was taken";

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

} // namespace
