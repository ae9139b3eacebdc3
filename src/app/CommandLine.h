#pragma once

#include <QStringList>

#include <optional>
#include <string>

// The station's own command line options (Qt's own, such as -platform, are taken by
// QApplication before these are read).
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    static constexpr int kUsageExitCode = 64; // a command line that could not be understood

    Action action = Action::Run;
    bool simulate = false; // --simulate or --simulate=RxCxN: the built-in simulated head
    int rows = 2;          // its demo grid
    int cols = 2;
    int channels = 40;                      // channels per board
    std::optional<std::string> traceFile;   // --trace FILE
    std::optional<std::string> resultsFile; // --results FILE: the test results file
    std::string error;                      // set when the arguments could not be understood
    std::string output;                     // what --help or --version prints

    // args without the program name; version: what --version prints.
    static CommandLine parse(const QStringList& args, const std::string& version = std::string());
    // The options and what they do (the text of --help).
    static std::string usage();
    // True when the arguments ask for --help or --version or hold an option nobody knows: the
    // answer needs no display.
    static bool answersWithoutDisplay(int argc, char** argv);
};
