#pragma once

// SIGINT and SIGTERM as a flag the command polls: the handler only sets it, and the command
// runs the close sequence on its own thread.
namespace cli {

class StopSignal {
public:
    StopSignal();  // installs the handlers
    ~StopSignal(); // restores the previous ones
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    static bool raised();
};

} // namespace cli
