#include "RecordingBar.h"

#include "texts/QtTexts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace station {

RecordingBar::RecordingBar(QWidget* parent) : QWidget(parent)
{
    prompt_ = new QLabel(this);
    entry_ = new QLineEdit(this);
    entry_->setObjectName(QStringLiteral("serialEntry"));
    entry_->setMinimumWidth(260);
    // Focus only on a click: the window's own keys (M, Enter, Space) stay the window's until
    // the operator puts the cursor here to scan.
    entry_->setFocusPolicy(Qt::ClickFocus);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("recordingStatus"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 0, 5, 0);
    layout->addWidget(prompt_);
    layout->addWidget(entry_);
    layout->addSpacing(20);
    layout->addWidget(status_, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QFont large = font();
    large.setPixelSize(18);
    setFont(large);
    // Enter is taken here and goes no further: a line edit would hand it on to the window,
    // whose key filter would read it as a latch release.
    entry_->installEventFilter(this);
    updatePrompt();
}

bool RecordingBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == entry_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            takeEntry();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RecordingBar::setEnglish(bool english)
{
    english_ = english;
    updatePrompt();
}

void RecordingBar::setGrid(int rows, int cols)
{
    if (rows == rows_ && cols == cols_)
        return;
    rows_ = rows;
    cols_ = cols;
    std::vector<int> boards;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            boards.push_back(row * cols + col);
    serials_ = SerialEntry(std::move(boards));
    updatePrompt();
}

std::map<int, std::string> RecordingBar::takeSerials()
{
    auto serials = serials_.serials();
    serials_.clear();
    updatePrompt();
    return serials;
}

void RecordingBar::showStatus(const QString& text, bool problem)
{
    status_->setText(text);
    status_->setStyleSheet(problem ? QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;") : QString());
}

QString RecordingBar::status() const
{
    return status_->text();
}

void RecordingBar::takeEntry()
{
    const QString text = entry_->text();
    entry_->clear();
    const int board = serials_.nextBoard();
    switch (serials_.add(text.toStdString())) {
    case SerialEntry::Outcome::Duplicate: {
        int position = -1;
        for (const auto& [index, serial] : serials_.serials())
            if (QString::fromStdString(serial) == text.trimmed())
                position = index;
        emit serialRefused(text.trimmed(), position + 1);
        break;
    }
    case SerialEntry::Outcome::Complete:
        updatePrompt();
        if (board >= 0)
            emit serialsComplete();
        return;
    case SerialEntry::Outcome::Accepted:
    case SerialEntry::Outcome::Empty:
        break;
    }
    updatePrompt();
}

void RecordingBar::updatePrompt()
{
    const int next = serials_.nextBoard();
    prompt_->setText(texts::qtext(texts::TextId::ResultsSerialFor, english_)
                         .arg(next >= 0 ? QString::number(next + 1) : QStringLiteral("-")));
    entry_->setEnabled(next >= 0);
}

} // namespace station
