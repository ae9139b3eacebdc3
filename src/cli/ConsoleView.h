#pragma once

#include "station/StationView.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

// The station's window interface for a process without a window. Messages the window would show
// in a box go to standard error as they are (the station's own texts, in the language the head
// is set to); panes, menus and progress have no place here and are dropped. What the logic asks
// of the process (end it, show the head as gone) is kept for the command to act on.
namespace cli {

class ConsoleView : public station::StationView {
public:
    explicit ConsoleView(std::FILE* errors = stderr) : errors_(errors) {}

    // Prints one line to standard error (thread-safe).
    void report(const std::string& text);

    // The exit code the logic asked for (unsupported head, old firmware), if it did.
    std::optional<int> endRequested() const;
    // Whether the logic found the head gone or silent.
    bool headLost() const { return headLost_.load(); }
    // The last window caption the logic set (the grid refusal is shown there).
    std::string caption() const;

    void setCaption(const std::string& text) override;
    void updatePane(int, const station::PaneUpdate&) override {}
    void buildMenuBar(bool, bool) override {}
    void setTopMenusEnabled(bool) override {}
    void setCommandEnabled(int, bool) override {}
    void showProgress(bool) override {}
    void setProgressRange(int) override {}
    void setProgressPosition(int) override {}
    void stepProgress() override {}
    void setGridColors(const ColorScheme&) override {}
    void repaintGrid() override {}
    void showMessage(const station::StationMessage& message) override { report(message.text); }
    void postMessage(const station::StationMessage& message) override { report(message.text); }
    void endProcess(int exitCode) override;
    void refreshExpansionDialog() override {}
    void startDisconnectTimer(std::chrono::milliseconds) override { headLost_ = true; }
    void cancelDisconnectTimer() override {}

private:
    std::FILE* errors_;
    mutable std::mutex mutex_;
    std::optional<int> endCode_;
    std::string caption_;
    std::atomic<bool> headLost_{false};
};

} // namespace cli
