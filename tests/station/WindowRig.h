#pragma once

#include "device/StorageMap.h"
#include "sim/SimBus.h"
#include "station/CStenvikPlusDlgDlg.h"
#include "support/MessageRecorder.h"
#include "uikit/ControlId.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenuBar>

#include <chrono>
#include <optional>
#include <string>

// The real main window offscreen against the simulated bus, as the program runs it.
struct WindowRig {
    static constexpr const char* kHeadPath = "/dev/hidraw-sim0";

    SimBus bus;
    SimHead* head = nullptr;
    MessageRecorder messages;
    std::optional<int> exitCode;
    CStenvikPlusDlgDlg window{bus};

    explicit WindowRig(bool withHead = true, int rows = 2, int cols = 2, int channels = 40)
    {
        window.setExitHandler([this](int code) { exitCode = code; });
        if (withHead)
            addHead(rows, cols, channels);
        bus.setListener([this](SimBus::Event event, const std::string& path) {
            window.deviceChanged(event == SimBus::Event::Arrival, path);
        });
        window.resize(1000, 700);
        window.show();
    }

    ~WindowRig()
    {
        bus.setListener({});
        window.shutdown();
    }

    SimHead& addHead(int rows = 2, int cols = 2, int channels = 40)
    {
        head = &bus.addHead(kHeadPath);
        head->loadDemoSetup(rows, cols, channels);
        return *head;
    }

    template <typename Pred> bool pump(Pred pred, int limitMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!pred()) {
            if (timer.elapsed() > limitMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    void idle(int ms)
    {
        pump([] { return false; }, ms);
    }

    int countCommand(std::uint8_t code) const
    {
        int n = 0;
        for (const auto& r : head->received())
            if (r.report[1] == 0xAA && r.report[2] == 0x55 && r.report[3] == code)
                ++n;
        return n;
    }

    bool startRunning()
    {
        window.initialise(false);
        return pump([this] { return window.station().loopRunning() && countCommand(0x30) >= 2; });
    }

    bool stopLoop()
    {
        window.flags().run = false;
        return pump([this] { return !window.station().loopRunning(); });
    }

    QList<QAction*> topMenus() const { return window.menuBar()->actions(); }
    QAction* command(int id) const { return uikit::findCommand(window.menuBar(), id); }
};
