#pragma once

#include "results/SerialEntry.h"

#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

namespace station {

// The strip under the grid for test results: a serial entry that works with a barcode scanner
// (characters, then Enter) filling the shown boards in position order, and a line that tells
// how recording goes. Enter after a serial takes it; Enter and Space anywhere else (or in the
// empty entry) keep releasing the excess latches.
class RecordingBar : public QWidget {
    Q_OBJECT
public:
    explicit RecordingBar(QWidget* parent = nullptr);

    void setEnglish(bool english);
    // The shown boards: rows x cols positions, board index row * cols + col. Serials given so
    // far are kept while the grid stays the same.
    void setGrid(int rows, int cols);

    QLineEdit* serialEntry() const { return entry_; }
    // The serials given for the next run (by board index), which are then forgotten.
    std::map<int, std::string> takeSerials();
    void showStatus(const QString& text, bool problem = false);
    QString status() const;

signals:
    // The serial of the last shown board was taken: the run can start.
    void serialsComplete();
    // A serial already given to another board of this run was refused.
    void serialRefused(const QString& serial, int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeEntry();
    void updatePrompt();

    QLabel* prompt_;
    QLineEdit* entry_;
    QLabel* status_;
    bool english_ = false;
    int rows_ = -1;
    int cols_ = -1;
    SerialEntry serials_;
};

} // namespace station
