#pragma once

#include <QStringList>

#include <optional>
#include <string>

// The station's own command line options (Qt's own, such as -platform, are taken by
// QApplication before these are read).
struct CommandLine {
    bool simulate = false; // --simulate or --simulate=RxCxN: the built-in simulated head
    int rows = 2;          // its demo grid
    int cols = 2;
    int channels = 40;                      // channels per board
    std::optional<std::string> traceFile;   // --trace FILE
    std::optional<std::string> resultsFile; // --results FILE: the test results file
    std::string error;                      // set when the arguments could not be understood

    // args without the program name.
    static CommandLine parse(const QStringList& args);
    static const char* usage();
};
