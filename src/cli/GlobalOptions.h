#pragma once

#include "sim/DemoSetup.h"

#include <optional>
#include <string>

// The options that come before the command.
namespace cli {

struct GlobalOptions {
    std::optional<DemoGrid> simulate; // --simulate[=RxCxN]: the built-in simulated head
    std::string traceFile;            // --trace FILE; empty: no trace
    bool json = false;                // --json: machine-readable output
    std::string resultsFile;          // --results FILE; empty: the user's default results file
};

} // namespace cli
