#pragma once

#include "ConsoleView.h"
#include "GlobalOptions.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "station/Station.h"
#include "station/StationContext.h"

#include <memory>

class HidBus;
class ReportTrace;

// One head driven by the tool through the station's own logic: the bus (USB or the simulated
// head), the device object, the setup images, the grid panels and the station, with a console
// in place of the window. Every step returns the tool's exit code (0 when it went well) and has
// told standard error why when it did not.
namespace cli {

class HeadSession {
public:
    explicit HeadSession(const GlobalOptions& options);
    // The same on a bus of the caller's (tests: a simulated bus set up beforehand).
    HeadSession(const GlobalOptions& options, std::unique_ptr<HidBus> bus);
    ~HeadSession();
    HeadSession(const HeadSession&) = delete;
    HeadSession& operator=(const HeadSession&) = delete;

    // The bus of the options: USB, or a simulated bus carrying one head with the demo setup.
    static std::unique_ptr<HidBus> makeBus(const GlobalOptions& options);
    // The trace of the options (null without --trace); false, having said why, when the file
    // cannot be opened.
    static bool openTrace(const GlobalOptions& options, std::shared_ptr<ReportTrace>& trace);

    // Opens the trace file and the head, without sending anything.
    int open();

    // What the window does when it finds the head, short of starting the acquisition: the
    // connection set-up with board loading and the device-type and firmware checks.
    int connect();

    // What the window does from start to a running acquisition loop (greeting, connection
    // set-up, checks, loop). Returns once the loop runs, or with the reason it does not.
    int start();

    // Says that the head stopped answering; returns the exit code for it.
    int headNotResponding();

    // Whether the head went away or stopped answering since start().
    bool headLost() const;

    // Stops the loop and runs the window's close sequence (outputs off, "CLOSED" on the LCD).
    void close();

    CUSBChannel& channel() { return channel_; }
    TestSetup& setup() { return setup_; }
    HeadOperations& ops() { return ops_; }
    display::BoardGrid& grid() { return grid_; }
    station::StationFlags& flags() { return flags_; }
    station::Station& station() { return station_; }
    ConsoleView& view() { return view_; }
    station::CycleObservers& cycles() { return ctx_.cycles; }
    station::StationContext& context() { return ctx_; }
    bool english() const { return setup_.global().englishUi(); }

private:
    int checkDeviceType();

    GlobalOptions options_;
    bool started_ = false;
    std::shared_ptr<ReportTrace> trace_;
    std::unique_ptr<HidBus> bus_;
    CUSBChannel channel_;
    TestSetup setup_;
    HeadOperations ops_{channel_, setup_};
    display::BoardGrid grid_{setup_.grid()};
    station::StationFlags flags_;
    ConsoleView view_;
    station::StationContext ctx_;
    station::Station station_{ctx_};
};

} // namespace cli
