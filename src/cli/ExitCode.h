#pragma once

// The tool's exit codes; scripts depend on these numbers.
namespace cli {

enum ExitCode : int {
    kSuccess = 0,     // done; every judged board passed
    kBoardFailed = 1, // a board failed, was LOAD or was not measured
    kHeadProblem = 2, // no tester, tester busy, tester stopped answering
    kFileOrSetup = 3, // file unreadable or unwritable, setup refused
    kUsage = 64,      // the command line could not be understood
};

} // namespace cli
