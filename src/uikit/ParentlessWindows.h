#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

// Windows the station opens without a parent (camera windows, the channel monitor, the results
// view) stand beside the main window: Qt would leave the event loop only once the last of them
// closed, and the process would outlive its main window. They join this roster, which the main
// window closes with itself:
//     windows.open(new CVideoDialog(nullptr));
// A window stops its own work in its closeEvent (a camera stops its capture there).
namespace uikit {

class ParentlessWindows {
public:
    ParentlessWindows() = default;
    ~ParentlessWindows(); // deletes the windows still alive
    ParentlessWindows(const ParentlessWindows&) = delete;
    ParentlessWindows& operator=(const ParentlessWindows&) = delete;

    // Shows the window as an independent top-level window, deleted once closed, and keeps it
    // until it is closed. Takes ownership.
    void open(QWidget* window);

    // Closes every window still open (each gets its closeEvent); one that refuses to close is
    // hidden, so it cannot keep the program running.
    void closeAll();

    // The windows open now.
    std::vector<QWidget*> openWindows() const;

private:
    void forgetClosed();

    std::vector<QPointer<QWidget>> windows_;
};

} // namespace uikit
