#include "CommandLine.h"

#include "sim/DemoSetup.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <string_view>
#include <vector>

namespace {

struct Parser {
    CLI::App app{"Bench test station for capacitive touch panels: live PASS / FAIL / LOAD of every board "
                 "on the USB test head.",
                 "stenvikplus"};
    std::string simulateGrid;
    std::string traceFile;
    std::string resultsFile;
    CLI::Option* simulate = nullptr;
    CLI::Option* trace = nullptr;
    CLI::Option* results = nullptr;

    explicit Parser(const std::string& version)
    {
        simulate = app.add_option("--simulate", simulateGrid,
                                  "Run against the built-in simulated test head; =RxCxN gives R rows and C "
                                  "columns of N-channel boards, e.g. --simulate=4x4x64")
                       ->expected(0, 1);
        trace = app.add_option("--trace", traceFile, "Append every report exchanged with the head to FILE")
                    ->type_name("FILE");
        results =
            app.add_option("--results", resultsFile,
                           "Keep test results in FILE (default ~/.local/share/stenvikplus/results.sqlite)")
                ->type_name("FILE");
        app.set_version_flag("--version", version, "Print the station's version and exit");
        app.footer("The language, thresholds and board layout are stored on the test head, not on the PC.");
    }
};

} // namespace

CommandLine CommandLine::parse(const QStringList& args, const std::string& version)
{
    CommandLine line;
    Parser parser(version);
    std::vector<std::string> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->toStdString());
    try {
        parser.app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        line.action = Action::Help;
        line.output = parser.app.help();
        return line;
    } catch (const CLI::CallForVersion&) {
        line.action = Action::Version;
        line.output = version + "\n";
        return line;
    } catch (const CLI::ParseError& e) {
        line.action = Action::Error;
        line.error = e.what();
        return line;
    }
    if (parser.simulate->count() > 0) {
        line.simulate = true;
        if (!parser.simulateGrid.empty()) {
            // One rule for the demo grid, shared with the simulated head.
            const std::optional<DemoGrid> grid = parseDemoGrid(parser.simulateGrid);
            if (!grid) {
                line.action = Action::Error;
                line.error = "--simulate=RxCxN wants 1..4 rows, 1..4 columns and 1..64 channels, e.g. 4x4x64";
                return line;
            }
            line.rows = grid->rows;
            line.cols = grid->cols;
            line.channels = grid->channels;
        }
    }
    if (parser.trace->count() > 0) {
        if (parser.traceFile.empty()) {
            line.action = Action::Error;
            line.error = "--trace needs a file name";
            return line;
        }
        line.traceFile = parser.traceFile;
    }
    if (parser.results->count() > 0) {
        if (parser.resultsFile.empty()) {
            line.action = Action::Error;
            line.error = "--results needs a file name";
            return line;
        }
        line.resultsFile = parser.resultsFile;
    }
    return line;
}

std::string CommandLine::usage()
{
    return Parser(std::string()).app.help();
}

bool CommandLine::answersWithoutDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--version")
            return true;
        // A long option of neither the station nor Qt: the usage, also without a display.
        const bool ours = arg == "--simulate" || arg.starts_with("--simulate=") || arg == "--trace" ||
                          arg.starts_with("--trace=") || arg == "--results" || arg.starts_with("--results=");
        if (arg.starts_with("--") && !ours)
            return true;
    }
    return false;
}
