#pragma once

#include "ResultsStore.h"
#include "texts/Texts.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QListWidget;

namespace resultsview {

// The Results view: the latest runs of the results file with their board results, filtered by
// serial and verdict, the yield of every board position and the most failing channels over the
// runs shown, and the channel figures of the selected board result. Reads the file afresh on
// refresh(); never writes it.
class CResultsDlg : public QDialog {
    Q_OBJECT
public:
    CResultsDlg(std::filesystem::path file, bool english, QWidget* parent = nullptr);

    // Reads the latest runs again with the current filter.
    void refresh();
    void setSerialFilter(const QString& serial);
    // nullopt: every verdict.
    void setVerdictFilter(std::optional<RunVerdict> verdict);
    // Selects row `row` of the board result list and shows its channels.
    void selectResult(int row);

    QTableWidget* resultTable() const { return results_; }
    QTableWidget* yieldTable() const { return yield_; }
    QTableWidget* paretoTable() const { return pareto_; }
    QTableWidget* channelTable() const { return channels_; }
    QString statusText() const;

private:
    struct Row {
        std::string runId;
        int boardIndex;
    };
    void fillResults(const std::vector<TestRun>& runs);
    void fillSummary(ResultsStore& store, const ResultsStore::Filter& filter);
    void showChannels(int row);
    ResultsStore::Filter filter() const;
    // The text in the view's language.
    QString say(texts::TextId id) const;

    std::filesystem::path file_;
    bool english_;
    QLineEdit* serial_;
    QComboBox* verdict_;
    QLabel* status_;
    QTableWidget* results_;
    QTableWidget* yield_;
    QTableWidget* pareto_;
    QTableWidget* channels_;
    std::vector<Row> rows_;
};

} // namespace resultsview
