// results export / results summary: the test results file, read only. They talk to no head, so
// they take no guard and run beside the window.
#include "Command.h"
#include "ExitCode.h"
#include "persistence/AtomicFile.h"
#include "results/PendingRuns.h"
#include "results/ResultsExport.h"
#include "results/ResultsStore.h"
#include "results/ResultsSummary.h"
#include "station/KeptResultsTexts.h"
#include "texts/Texts.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

namespace cli {
namespace {

constexpr const char* kName = "stenvikplus-cli";

struct ResultsArgs {
    std::string since;
    std::string serial;
    std::string format;
    std::string output;
};

std::filesystem::path resultsFileOf(const GlobalOptions& options)
{
    return options.resultsFile.empty() ? defaultResultsFile() : std::filesystem::path(options.resultsFile);
}

// The filter of the arguments; false (with a message) when --since is no ISO date.
bool filterOf(const ResultsArgs& args, ResultsStore::Filter& filter)
{
    filter.serial = args.serial;
    filter.limit = -1;
    if (!args.since.empty()) {
        const auto since = isoSince(args.since);
        if (!since) {
            std::fprintf(stderr, "%s: --since wants an ISO date (UTC), e.g. 2026-03-01 or 2026-03-01T08:00\n",
                         kName);
            return false;
        }
        filter.since = *since;
    }
    return true;
}

// Opens the results file for reading; null (with a message) when it cannot be read.
std::unique_ptr<ResultsStore> openResults(const GlobalOptions& options)
{
    const auto file = resultsFileOf(options);
    // A reader leaves the kept runs alone (it opens the file read-only), but says they are missing.
    if (const auto kept = pendingRunCount(pendingRunsFile(file)); kept > 0)
        std::fprintf(stderr, "%s: %s\n", kName,
                     station::fillPlaceholders(texts::text(texts::TextId::KeptResultsNotYetIn, true),
                                               {std::to_string(kept), pendingRunsFile(file).string()})
                         .c_str());
    if (!std::filesystem::exists(file)) {
        std::fprintf(stderr, "%s: no results file %s\n", kName, file.c_str());
        return nullptr;
    }
    try {
        ResultsStore::Options readOnly;
        readOnly.readOnly = true;
        return std::make_unique<ResultsStore>(file, readOnly);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: the results file %s cannot be read: %s\n", kName, file.c_str(),
                     error.what());
        return nullptr;
    }
}

int emit(const std::string& text, const std::string& output)
{
    if (output.empty()) {
        std::cout << text << std::flush;
        return kSuccess;
    }
    // Whole or not at all: an export cut short by a full disk must not pass for a whole one.
    std::error_code error;
    if (!atomicfile::write(output, text, &error)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", kName, output.c_str(), error.message().c_str());
        return kFileOrSetup;
    }
    return kSuccess;
}

// Opens the results file and writes what `produce` makes of the runs the arguments choose, to the
// standard output or --output.
using Produce = std::function<void(ResultsStore&, const ResultsStore::Filter&, std::ostream&)>;
int reportResults(const ResultsArgs& args, const GlobalOptions& options, const Produce& produce)
{
    ResultsStore::Filter filter;
    if (!filterOf(args, filter))
        return kUsage;
    const auto store = openResults(options);
    if (!store)
        return kFileOrSetup;
    std::ostringstream text;
    try {
        produce(*store, filter, text);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: the results file cannot be read: %s\n", kName, error.what());
        return kFileOrSetup;
    }
    return emit(text.str(), args.output);
}

int runExport(const ResultsArgs& args, const GlobalOptions& options)
{
    const bool json = args.format == "json" || (args.format.empty() && options.json);
    return reportResults(args, options,
                         [json](ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out) {
                             if (json)
                                 exportJson(store, filter, out);
                             else
                                 exportCsv(store, filter, out);
                         });
}

int runSummary(const ResultsArgs& args, const GlobalOptions& options)
{
    return reportResults(
        args, options,
        [&options](ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out) {
            const auto summary = summariseResults(store, filter);
            if (options.json) {
                auto json = summaryJson(summary);
                json["schema"] = "stenvikplus.results-summary/1";
                out << json.dump(2) << '\n';
            } else {
                writeSummaryText(summary, out);
            }
        });
}

void addFilterArguments(CLI::App& app, ResultsArgs& args)
{
    app.add_option("--since", args.since, "only runs started at or after this UTC time (ISO 8601)")
        ->type_name("ISO-DATE");
    app.add_option("--serial", args.serial, "only board results of this serial")->type_name("S");
    app.add_option("--output", args.output,
                   "write to FILE (whole or not at all) instead of the standard output")
        ->type_name("FILE");
}

} // namespace

Command resultsExportCommand()
{
    auto args = std::make_shared<ResultsArgs>();
    return {{"results", "export"},
            "the board results of the results file, one per line (csv) or object (json)",
            false,
            [args](CLI::App& app) {
                addFilterArguments(app, *args);
                app.add_option("--format", args->format, "csv (default) or json")
                    ->check(CLI::IsMember({"csv", "json"}));
            },
            [args](const GlobalOptions& options) { return runExport(*args, options); }};
}

Command resultsSummaryCommand()
{
    auto args = std::make_shared<ResultsArgs>();
    return {{"results", "summary"},
            "yield per board position and the most failing channels",
            false,
            [args](CLI::App& app) { addFilterArguments(app, *args); },
            [args](const GlobalOptions& options) { return runSummary(*args, options); }};
}

} // namespace cli
