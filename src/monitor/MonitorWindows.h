#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <utility>

class ChannelMonitor;
class MonitorSource;
namespace uikit {
class ParentlessWindows;
}

// The open monitor windows of the station, at most one per board position. They are windows of
// their own (no parent, so the main window does not cover them), opened through the roster of
// parentless windows, which closes them with the main window.
class MonitorWindows : public QObject {
    Q_OBJECT
public:
    MonitorWindows(MonitorSource& source, uikit::ParentlessWindows& roster, QObject* parent = nullptr);
    ~MonitorWindows() override;

    // Shows the monitor of (row, col), raising the one already open. Null for a position outside
    // the 4 x 4 storage.
    ChannelMonitor* open(int row, int col);
    ChannelMonitor* find(int row, int col) const;
    int openCount() const;
    // Opens again, where they stood, the windows opened in another language than the
    // interface's now: a window's words are fixed when it is built.
    void followLanguage();

private:
    MonitorSource& source_;
    uikit::ParentlessWindows& roster_;
    std::map<std::pair<int, int>, QPointer<ChannelMonitor>> windows_;
};
