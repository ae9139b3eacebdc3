#pragma once

#include "BoardCommands.h"
#include "GuiBridge.h"
#include "MenuCommands.h"
#include "MonitorHost.h"
#include "RecordingBar.h"
#include "ResultsRecording.h"
#include "Station.h"
#include "StationContext.h"
#include "StationView.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "persistence/RecordFile.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/ParentlessWindows.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class CColorBar;
class CStatusBarEx;
class QMenu;
class QSocketNotifier;
class UdevMonitor;
namespace resultsview {
class CResultsDlg;
}

// The station's main window: grid view, status bar, menus, context menu and key filter. It owns
// the device object, the setup images and the grid, runs the station's logic and implements the
// window interface that logic talks to, carrying calls from workers onto the GUI thread.
class CStenvikPlusDlgDlg : public QMainWindow, public station::StationView {
    Q_OBJECT
public:
    explicit CStenvikPlusDlgDlg(HidBus& bus, QWidget* parent = nullptr);
    ~CStenvikPlusDlgDlg() override;

    // Window initialisation: layout, device monitor, first attempt to open the head.
    // monitorReal: watch hidraw nodes through udev (real heads); otherwise the caller reports
    // arrivals and removals with deviceChanged().
    void initialise(bool monitorReal);

    // Thread-safe: a HID device arrived or was removed.
    void deviceChanged(bool arrival, const std::string& path);

    // What ends the process from a worker (unsupported head, old firmware). Default: leave the
    // event loop with the code.
    void setExitHandler(std::function<void(int)> handler) { exitHandler_ = std::move(handler); }

    // The expansion board dialog registers here while it is open (GUI thread): the loop then
    // leaves the counts alone, and board loading calls refresh at its end.
    void setExpansionDialogOpen(bool open, std::function<void()> refresh = {});

    // Runs a menu or context-menu command by number.
    void runCommand(int commandId);

    // Right click at a point of the window: prepares and shows the context menu (null when
    // refused or no grid is shown). The menu stays alive until the next one.
    QMenu* openContextMenu(const QPoint& windowPos, bool show = true);
    // Sets the check marks of a menu of this window as they are now.
    void updateCheckMarks(QMenu* menu);

    // Parts, for tests and the application.
    CUSBChannel& channel() { return channel_; }
    TestSetup& setup() { return setup_; }
    display::BoardGrid& grid() { return grid_; }
    station::Station& station() { return station_; }
    station::StationFlags& flags() { return flags_; }
    // Every acquisition cycle's verdict (subscribe here; observers run on the acquisition thread).
    station::CycleObservers& cycles() { return ctx_.cycles; }
    CColorBar* colorBar() const { return colorBar_; }
    CStatusBarEx* statusBarEx() const { return statusBar_; }
    MonitorHost& monitors() { return *monitors_; }
    bool disconnectTimerActive() const { return disconnectTimer_.isActive(); }
    // The windows opened without a parent (camera windows, ...): they close with this window.
    uikit::ParentlessWindows& parentlessWindows() { return parentlessWindows_; }

    // StationView
    void setCaption(const std::string& text) override;
    void updatePane(int pane, const station::PaneUpdate& update) override;
    void buildMenuBar(bool english, bool certificateOff) override;
    void setTopMenusEnabled(bool enabled) override;
    void setCommandEnabled(int commandId, bool enabled) override;
    void showProgress(bool visible) override;
    void setProgressRange(int maximum) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    void setGridColors(const ColorScheme& scheme) override;
    void repaintGrid() override;
    void showMessage(const station::StationMessage& message) override;
    void postMessage(const station::StationMessage& message) override;
    void endProcess(int exitCode) override;
    void refreshExpansionDialog() override;
    void startDisconnectTimer(std::chrono::milliseconds delay) override;
    void cancelDisconnectTimer() override;

    // Closes the windows opened without a parent, stops the workers and sends the close sequence
    // (also run by closeEvent). Idempotent.
    void shutdown();

    // ---- test results (CStenvikPlusDlgDlgResults.cpp) ----
    // The results file (default: the user's data folder); set before initialise().
    void setResultsFile(std::filesystem::path file) { resultsFile_ = std::move(file); }
    const std::filesystem::path& resultsFile() const { return resultsFile_; }
    // "Record result": a run over the next cycles of every shown board with the serials given.
    void recordResult();
    // "Show results": opens (or raises) the Results view.
    void showResults();
    // Opens the view again, where it stood, when the interface language changed under it.
    void resultsFollowLanguage();
    station::ResultsRecording* recording() const { return recording_.get(); }
    station::RecordingBar* recordingBar() const { return recordingBar_; }
    resultsview::CResultsDlg* resultsView() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOutWindow();
    void startMonitor();
    void connectMenuBar();
    void connectMenu(QMenu* menu);
    void saveConfiguration();
    void loadConfiguration();
    void runBoardSetting();
    void runExpansionBoards();
    // Opens the channel monitor of a shown board (the key command: the board under the mouse).
    void openMonitor(int row, int col);
    void openMonitorUnderMouse();
    void refuse(const std::string& message);
    bool confirmOneKeySetting();
    bool english() const;

    HidBus& bus_;
    CUSBChannel channel_;
    TestSetup setup_;
    HeadOperations ops_{channel_, setup_};
    display::BoardGrid grid_{setup_.grid()};
    station::StationFlags flags_;
    RecordFile recordFile_; // "recoder.csv" in the working directory, one header per run
    station::StationContext ctx_;
    station::Station station_{ctx_};
    station::MenuCommands menuCommands_{ctx_, station_};
    station::BoardCommands boardCommands_{ctx_};
    station::GuiBridge bridge_{this};
    std::unique_ptr<MonitorHost> monitors_ = std::make_unique<MonitorHost>(grid_, setup_, parentlessWindows_);
    station::CycleObservers::Token monitorFeed_ = 0; // the monitors' subscription to every cycle

    CColorBar* colorBar_ = nullptr;
    CStatusBarEx* statusBar_ = nullptr;
    QPointer<QMenu> contextMenu_;
    QTimer disconnectTimer_;
    std::unique_ptr<UdevMonitor> monitor_;
    QSocketNotifier* monitorNotifier_ = nullptr;
    std::function<void(int)> exitHandler_;
    std::function<void()> expansionRefresh_;
    uikit::ParentlessWindows parentlessWindows_;
    bool shutDown_ = false;

    void startResults();
    void stopResults();
    std::filesystem::path resultsFile_;
    std::unique_ptr<station::ResultsRecording> recording_;
    // Set by the writer's last act (while stopResults() waits for it), told after it.
    std::optional<PendingKept> keptAtExit_;
    station::RecordingBar* recordingBar_ = nullptr;
    QPointer<QDialog> resultsView_;
};
