// Closing the main window ends the program, also while windows without a parent (camera
// windows) are open, and also when the close comes from SIGTERM.
#include "SignalBridge.h"
#include "WindowRig.h"
#include "camera/CVideoDialog.h"
#include "station/CommandIds.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <string>

namespace {

constexpr int kStillRunning = 99;

QList<CVideoDialog*> openCameraWindows()
{
    QList<CVideoDialog*> open;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (auto* camera = qobject_cast<CVideoDialog*>(w); camera != nullptr && camera->isVisible())
            open.append(camera);
    return open;
}

struct CloseCase {
    std::string name;
    int cameraWindows;
    bool bySignal; // SIGTERM, as a service manager stops the station; else the window's close
    // The close comes while a modal dialog waits for the operator: none, one of the window, or
    // one without a parent (as messages shown before or beside the window are).
    enum class Dialog { None, OfTheWindow, Parentless } modalDialog;
    friend void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }
};

constexpr auto kNoDialog = CloseCase::Dialog::None;

class ClosingTheMainWindow : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosingTheMainWindow, EndsTheEventLoopAndClosesEveryCameraWindow)
{
    const CloseCase& c = GetParam();
    WindowRig rig(false);
    SignalBridge termination;
    closeOnTermination(termination, rig.window);
    for (int i = 0; i < c.cameraWindows; ++i)
        rig.window.runCommand(station::cmd::kCamera);
    const QList<CVideoDialog*> cameras = openCameraWindows();
    ASSERT_EQ(cameras.size(), c.cameraWindows);
    QList<QPointer<CVideoDialog>> watched(cameras.begin(), cameras.end());

    QTimer trigger; // the close comes from inside the running event loop, as in the program
    trigger.setSingleShot(true);
    bool dialogReturned = false;
    QObject::connect(&trigger, &QTimer::timeout, [&] {
        const auto close = [&] {
            if (c.bySignal)
                std::raise(SIGTERM);
            else
                rig.window.close();
        };
        if (c.modalDialog == CloseCase::Dialog::None) {
            close();
            return;
        }
        QDialog dialog(c.modalDialog == CloseCase::Dialog::OfTheWindow ? &rig.window : nullptr);
        QTimer::singleShot(0, &dialog, close);
        dialog.exec();
        dialogReturned = true;
    });
    trigger.start(0);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
    watchdog.start(5000);
    const int code = QApplication::exec();
    watchdog.stop();

    EXPECT_EQ(code, 0) << "the event loop was still running 5 s after the close";
    EXPECT_EQ(dialogReturned, c.modalDialog != CloseCase::Dialog::None);
    EXPECT_FALSE(rig.window.isVisible());
    EXPECT_TRUE(openCameraWindows().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& camera : watched)
        EXPECT_TRUE(camera.isNull()) << "a camera window outlived the main window";
    // Leave no window behind for the next test, whatever happened.
    for (const auto& camera : watched)
        delete camera.data();
}

INSTANTIATE_TEST_SUITE_P(Window, ClosingTheMainWindow,
                         ::testing::Values(CloseCase{"WithoutOtherWindows", 0, false, kNoDialog},
                                           CloseCase{"WithACameraWindow", 1, false, kNoDialog},
                                           CloseCase{"WithTwoCameraWindows", 2, false, kNoDialog},
                                           CloseCase{"BySigtermWithACameraWindow", 1, true, kNoDialog},
                                           CloseCase{"BySigtermWithADialogOfTheWindowOpen", 1, true,
                                                     CloseCase::Dialog::OfTheWindow},
                                           CloseCase{"BySigtermWithAParentlessDialogOpen", 1, true,
                                                     CloseCase::Dialog::Parentless}),
                         [](const auto& param) { return param.param.name; });

} // namespace
