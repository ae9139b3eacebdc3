#pragma once

#include "GlobalOptions.h"

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// One command of the tool. A command adds its own arguments to its CLI11 subcommand and keeps
// their values itself (captured by its two functions); the table in Commands.cpp lists them all.
namespace cli {

struct Command {
    std::vector<std::string> path; // {"measure"} or {"setup", "save"}: nested subcommands
    std::string description;
    // Commands that talk to a head take the single-instance guard shared with the window.
    bool takesGuard = true;
    std::function<void(CLI::App&)> addArguments;
    // Runs the command after the arguments were parsed; returns the exit code.
    std::function<int(const GlobalOptions&)> run;
};

// Every command of the tool, in the order the help lists them.
std::vector<Command> commandTable();

// The commands (defined in their own files).
Command listCommand();
Command infoCommand();
Command setupSaveCommand();
Command setupLoadCommand();
Command measureCommand();
Command watchCommand();
Command resultsExportCommand();
Command resultsSummaryCommand();

} // namespace cli
