// The main window's part in test results: the results writer and run recorder, the "Record
// result" and "Show results" commands, the serial entry and the messages of the results file.
#include "CStenvikPlusDlgDlg.h"
#include "CommandIds.h"
#include "KeptResultsTexts.h"
#include "resultsview/CResultsDlg.h"
#include "resultsview/ResultsWords.h"
#include "texts/QtTexts.h"
#include "uikit/MessageBox.h"

#include <QShortcut>

namespace {

using texts::TextId;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

void CStenvikPlusDlgDlg::startResults()
{
    if (resultsFile_.empty())
        resultsFile_ = defaultResultsFile();
    station::ResultsRecording::Callbacks callbacks;
    // Every callback comes from a worker: the window's part runs on the GUI thread.
    callbacks.problem = [this](const std::string& reason, std::size_t waiting) {
        bridge_.post([this, reason, waiting] {
            const QString text = texts::qtext(TextId::ResultsProblem, english())
                                     .arg(qs(resultsFile_.string()), qs(reason))
                                     .arg(static_cast<qulonglong>(waiting));
            recordingBar_->showStatus(text, true);
            uikit::message(this, text, QMessageBox::Warning);
        });
    };
    callbacks.recovered = [this] {
        bridge_.post(
            [this] { recordingBar_->showStatus(texts::qtext(TextId::ResultsRecovered, english())); });
    };
    callbacks.recorded = [this](const TestRun& run) {
        const QString time = qs(run.endedAt).mid(11, 8);
        std::vector<RunVerdict> verdicts;
        for (const auto& board : run.boards)
            verdicts.push_back(board.verdict);
        bridge_.post([this, time, verdicts = std::move(verdicts)] {
            const QString counts = resultsview::verdictCounts(verdicts, english());
            recordingBar_->showStatus(texts::qtext(TextId::ResultsRecorded, english()).arg(time, counts));
            if (auto* view = resultsView())
                view->refresh();
        });
    };
    callbacks.notStarted = [this](const std::string& reason) {
        bridge_.post([this, reason] {
            const QString text = texts::qtext(TextId::ResultsNotStarted, english()).arg(qs(reason));
            recordingBar_->showStatus(text, true);
            uikit::message(this, text, QMessageBox::Warning);
        });
    };
    callbacks.pendingWrittenIn = [this](const PendingWriteIn& writtenIn) {
        bridge_.post([this, writtenIn] {
            const QString text = qs(station::keptWrittenInText(writtenIn, resultsFile_,
                                                               pendingRunsFile(resultsFile_), english()));
            if (text.isEmpty())
                return;
            const bool damaged = !writtenIn.damage.empty();
            recordingBar_->showStatus(text, damaged);
            if (damaged)
                uikit::message(this, text, QMessageBox::Warning);
        });
    };
    // Comes while stopResults() waits for the writer: the GUI thread tells it afterwards.
    callbacks.keptAtExit = [this](const PendingKept& kept) { keptAtExit_ = kept; };
    recording_ = std::make_unique<station::ResultsRecording>(ctx_, resultsFile_, std::move(callbacks));

    // F9 is free in the window's key filter; it works wherever the focus is in the window.
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F9), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { runCommand(station::cmd::kRecordResult); });

    connect(recordingBar_, &station::RecordingBar::serialsComplete, this,
            [this] { runCommand(station::cmd::kRecordResult); });
    connect(recordingBar_, &station::RecordingBar::serialRefused, this,
            [this](const QString& serial, int position) {
                const QString text =
                    texts::qtext(TextId::ResultsDuplicateSerial, english()).arg(serial).arg(position);
                recordingBar_->showStatus(text, true);
                uikit::message(this, text, QMessageBox::Warning);
            });
    const auto [rows, cols] = setup_.grid().get();
    recordingBar_->setGrid(rows, cols);
}

void CStenvikPlusDlgDlg::stopResults()
{
    // The acquisition loop has ended: no cycle comes any more. The writer makes its last
    // attempt at the runs still waiting and keeps those it cannot write beside the file.
    recording_.reset();
    if (!keptAtExit_)
        return;
    const QString text = qs(station::keptAtExitText(*keptAtExit_, resultsFile_, english()));
    keptAtExit_.reset();
    recordingBar_->showStatus(text, true);
    // The window is closing: the operator must see this before it goes.
    uikit::message(this, text, QMessageBox::Warning);
}

void CStenvikPlusDlgDlg::recordResult()
{
    if (!recording_)
        return;
    if (!station_.loopRunning()) {
        uikit::message(this, texts::qtext(TextId::ResultsNoHead, english()), QMessageBox::Information);
        return;
    }
    if (recording_->busy()) {
        recordingBar_->showStatus(texts::qtext(TextId::ResultsBusy, english()));
        return;
    }
    const auto [rows, cols] = setup_.grid().get();
    recordingBar_->setGrid(rows, cols);
    if (recording_->startRun(recordingBar_->takeSerials()))
        recordingBar_->showStatus(
            texts::qtext(TextId::ResultsRecording, english()).arg(recording_->cycles()));
}

void CStenvikPlusDlgDlg::showResults()
{
    if (!resultsView_) {
        auto* view = new resultsview::CResultsDlg(resultsFile_, english(), this);
        view->setAttribute(Qt::WA_DeleteOnClose);
        resultsView_ = view;
    } else {
        resultsView()->refresh();
    }
    resultsView_->show();
    resultsView_->raise();
    resultsView_->activateWindow();
}

void CStenvikPlusDlgDlg::resultsFollowLanguage()
{
    auto* view = resultsView();
    if (view == nullptr || view->english() == english())
        return;
    const QRect geometry = view->geometry();
    const bool shown = view->isVisible();
    delete view;
    if (!shown)
        return;
    showResults();
    resultsView_->setGeometry(geometry);
}

resultsview::CResultsDlg* CStenvikPlusDlgDlg::resultsView() const
{
    return qobject_cast<resultsview::CResultsDlg*>(resultsView_.data());
}
