#include "monitor/MonitorWindows.h"

#include "monitor/ChannelMonitor.h"
#include "monitor/MonitorSource.h"
#include "uikit/ParentlessWindows.h"

MonitorWindows::MonitorWindows(MonitorSource& source, uikit::ParentlessWindows& roster, QObject* parent)
    : QObject(parent), source_(source), roster_(roster)
{
}

MonitorWindows::~MonitorWindows()
{
    // A monitor reads its source on every refresh: none may outlive it.
    for (auto& [position, window] : windows_)
        delete window.data();
}

ChannelMonitor* MonitorWindows::open(int row, int col)
{
    if (row < 0 || row > 3 || col < 0 || col > 3)
        return nullptr;
    QPointer<ChannelMonitor>& window = windows_[{row, col}];
    if (window == nullptr) {
        window = new ChannelMonitor(source_, row, col);
        roster_.open(window);
    }
    window->raise();
    window->activateWindow();
    return window;
}

void MonitorWindows::followLanguage()
{
    const bool english = source_.englishUi();
    for (auto& [position, window] : windows_) {
        if (window == nullptr || window->english() == english)
            continue;
        const QRect geometry = window->geometry();
        delete window.data();
        window = new ChannelMonitor(source_, position.first, position.second);
        window->setGeometry(geometry);
        roster_.open(window);
    }
}

ChannelMonitor* MonitorWindows::find(int row, int col) const
{
    const auto it = windows_.find({row, col});
    return it == windows_.end() ? nullptr : it->second.data();
}

int MonitorWindows::openCount() const
{
    int count = 0;
    for (const auto& [position, window] : windows_)
        count += window != nullptr ? 1 : 0;
    return count;
}
