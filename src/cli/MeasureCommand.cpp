// measure [--cycles N]: the station's start-up and N acquisition cycles, exactly as the window
// runs them (same frames, pauses and head signalling), then the close sequence; every board
// judged over the N cycles from the cycles' own verdicts.
#include "Command.h"
#include "ExitCode.h"
#include "HeadFacts.h"
#include "HeadSession.h"
#include "MeasureTally.h"
#include "StopSignal.h"
#include "results/ResultJson.h"
#include "results/ResultsStore.h"
#include "station/KeptResultsTexts.h"
#include "station/ResultsRecording.h"
#include "texts/Texts.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

namespace cli {
namespace {

using namespace std::chrono_literals;

nlohmann::json boardJson(const BoardSummary& b)
{
    nlohmann::json channels = nlohmann::json::array();
    for (const ChannelSummary& c : b.channels)
        channels.push_back({{"channel", c.channel},
                            {"mode", modeName(c.mode)},
                            {"reference", c.reference},
                            {"low", c.low},
                            {"high", c.high},
                            {"last", c.last},
                            {"mean", c.mean},
                            {"min", c.min},
                            {"max", c.max},
                            {"sd", c.sd},
                            {"pass", c.pass},
                            {"samples", c.samples}});
    return {{"index", b.index},
            {"row", b.row},
            {"col", b.col},
            {"channelCount", b.channelCount},
            {"verdict", b.verdict},
            {"failedCycles", b.failedCycles},
            {"measuredCycles", b.measuredCycles},
            {"pearson", optionalJson(b.pearson)},
            {"pearsonThreshold", optionalJson(b.pearsonThreshold)},
            {"failing", b.failing},
            {"channels", channels}};
}

void printJson(HeadSession& session, const Identity& identity, int cycles,
               const std::vector<BoardSummary>& boards)
{
    const GlobalSettings global = session.setup().global();
    nlohmann::json list = nlohmann::json::array();
    for (const BoardSummary& b : boards)
        list.push_back(boardJson(b));
    const nlohmann::json document = {{"schema", "stenvikplus.measure/1"},
                                     {"head",
                                      {{"guid", identity.guid},
                                       {"deviceType", identity.deviceType},
                                       {"firmware", firmwareJson(session.channel().firmwareInfo())}}},
                                     {"grid", {{"rows", global.gridRows}, {"cols", global.gridCols}}},
                                     {"cycles", cycles},
                                     {"boards", list}};
    std::cout << document.dump(2) << '\n';
}

std::string failingText(const std::vector<int>& failing)
{
    std::string text;
    for (int channel : failing)
        text += (text.empty() ? "" : ",") + std::to_string(channel);
    return text.empty() ? "-" : text;
}

// The failing channels of a board, on standard error in the head's interface language.
std::string failingLine(const BoardSummary& b, bool english)
{
    const char* format = texts::text(texts::TextId::CliFailingChannels, english);
    const std::string channels = failingText(b.failing);
    const int length =
        std::snprintf(nullptr, 0, format, b.index, b.row, b.col, b.verdict.c_str(), channels.c_str());
    std::string line(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(line.data(), line.size() + 1, format, b.index, b.row, b.col, b.verdict.c_str(),
                  channels.c_str());
    return line;
}

void printText(int cycles, const std::vector<BoardSummary>& boards)
{
    char line[160];
    std::cout << "board  row  col  channels  verdict       failed  pearson  threshold  failing channels\n";
    for (const BoardSummary& b : boards) {
        const std::string pearson = b.pearson ? std::to_string(*b.pearson).substr(0, 7) : "-";
        const std::string threshold =
            b.pearsonThreshold ? std::to_string(*b.pearsonThreshold).substr(0, 7) : "-";
        std::snprintf(line, sizeof line, "%5d  %3d  %3d  %8d  %-12s  %2d/%-3d  %-7s  %-9s  %s\n", b.index,
                      b.row, b.col, b.channelCount, b.verdict.c_str(), b.failedCycles, cycles,
                      pearson.c_str(), threshold.c_str(), failingText(b.failing).c_str());
        std::cout << line;
    }
    for (const BoardSummary& b : boards) {
        std::snprintf(line, sizeof line, "\nboard %d (row %d, col %d): %s\n", b.index, b.row, b.col,
                      b.verdict.c_str());
        std::cout
            << line
            << "channel  mode       reference    low   high   last     mean    min    max      sd  pass\n";
        for (const ChannelSummary& c : b.channels) {
            std::snprintf(line, sizeof line, "%7d  %-9s  %9u  %5u  %5u  %5u  %7.1f  %5u  %5u  %6.2f  %s\n",
                          c.channel, modeName(c.mode).c_str(), c.reference, c.low, c.high, c.last, c.mean,
                          c.min, c.max, c.sd, c.pass ? "yes" : "NO");
            std::cout << line;
        }
    }
}

struct RecordArgs {
    bool record = false;
    std::vector<std::string> serials; // SLOT=SERIAL
};

// The serials by board index; false (with a message) for a malformed or repeated one.
bool parseSerials(const std::vector<std::string>& given, std::map<int, std::string>& serials)
{
    std::set<std::string> seen;
    for (const std::string& item : given) {
        const auto equals = item.find('=');
        int slot = -1;
        try {
            std::size_t used = 0;
            slot = equals == std::string::npos ? -1 : std::stoi(item.substr(0, equals), &used);
            if (used != equals)
                slot = -1;
        } catch (const std::exception&) {
            slot = -1;
        }
        const std::string serial = equals == std::string::npos ? std::string() : item.substr(equals + 1);
        if (slot < 0 || slot > 15 || serial.empty()) {
            std::fprintf(stderr, "stenvikplus-cli: --serial wants SLOT=SERIAL with SLOT 0..15, not %s\n",
                         item.c_str());
            return false;
        }
        if (serials.contains(slot) || !seen.insert(serial).second) {
            std::fprintf(stderr, "stenvikplus-cli: --serial %s: %s\n", item.c_str(),
                         serials.contains(slot) ? "that slot already has a serial"
                                                : "that serial is already given to another board");
            return false;
        }
        serials[slot] = serial;
    }
    return true;
}

int runMeasure(const GlobalOptions& options, int cycles, const RecordArgs& record)
{
    std::map<int, std::string> serials;
    if (!parseSerials(record.serials, serials))
        return kUsage;
    if (!serials.empty() && !record.record) {
        std::fprintf(stderr, "stenvikplus-cli: --serial goes with --record\n");
        return kUsage;
    }
    if (record.record && cycles > RunRecorder::kMaxCycles) {
        std::fprintf(stderr, "stenvikplus-cli: --record keeps a run of at most %d cycles\n",
                     RunRecorder::kMaxCycles);
        return kUsage;
    }
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;

    MeasureTally tally;
    // The loop stops after the last cycle wanted: that cycle is signalled on the head as usual,
    // and no further cycle starts. With --record the table covers the cycles of the stored run,
    // which starts once the head's setup has been read for its hash: the run hands them over.
    const auto take = [&tally, &session, cycles](const display::CycleResult& r) {
        tally.add(r);
        if (tally.cycles() >= cycles)
            session.flags().run.store(false, std::memory_order_release);
    };
    const auto token = session.cycles().subscribe([&take, &record](const display::CycleResult& r) {
        if (!record.record)
            take(r);
    });
    struct Unsubscribe {
        HeadSession& session;
        station::CycleObservers::Token token;
        ~Unsubscribe() { session.cycles().unsubscribe(token); }
    } unsubscribe{session, token};

    std::unique_ptr<station::ResultsRecording> recording;
    std::atomic<bool> recordProblem{false};
    std::string runId;
    std::mutex runIdMutex;
    if (record.record) {
        station::ResultsRecording::Callbacks callbacks;
        callbacks.problem = [&recordProblem](const std::string& reason, std::size_t) {
            std::fprintf(stderr, "stenvikplus-cli: the result cannot be saved: %s\n", reason.c_str());
            recordProblem = true;
        };
        callbacks.notStarted = [&recordProblem, &session](const std::string& reason) {
            std::fprintf(stderr, "stenvikplus-cli: the result cannot be recorded: %s\n", reason.c_str());
            recordProblem = true;
            session.flags().run.store(false, std::memory_order_release);
        };
        callbacks.recorded = [&runId, &runIdMutex](const TestRun& run) {
            const std::lock_guard lock(runIdMutex);
            runId = run.id;
        };
        callbacks.taken = take;
        const auto file =
            options.resultsFile.empty() ? defaultResultsFile() : std::filesystem::path(options.resultsFile);
        callbacks.pendingWrittenIn = [&session, file](const PendingWriteIn& writtenIn) {
            const auto text =
                station::keptWrittenInText(writtenIn, file, pendingRunsFile(file), session.english());
            if (!text.empty())
                std::fprintf(stderr, "stenvikplus-cli: %s\n", text.c_str());
        };
        // The end of the tool: the writer's last attempt failed too.
        callbacks.keptAtExit = [&session, file](const PendingKept& kept) {
            std::fprintf(stderr, "stenvikplus-cli: %s\n",
                         station::keptAtExitText(kept, file, session.english()).c_str());
        };
        recording =
            std::make_unique<station::ResultsRecording>(session.context(), file, std::move(callbacks));
        recording->setCycles(cycles);
    }

    StopSignal stop;
    if (const int code = session.start(); code != kSuccess)
        return code;
    if (recording)
        recording->startRun(serials);
    while (session.station().loopRunning() && !StopSignal::raised())
        std::this_thread::sleep_for(2ms);
    const bool interrupted = StopSignal::raised();
    // The head's identity for the report, read between the last cycle and the close sequence.
    Identity identity;
    const bool identified = !session.headLost() && readIdentity(session.channel(), identity);
    session.close();

    if ((tally.cycles() < cycles && !interrupted) || !identified)
        return session.headNotResponding();
    if (recording) {
        // The run is in the writer's hands: wait until it is in the file (or has failed).
        while (recording->writer().waiting() > 0 && !recordProblem)
            recording->writer().waitUntilWritten(100ms);
        const std::lock_guard lock(runIdMutex);
        if (recordProblem || runId.empty())
            return kFileOrSetup;
        std::fprintf(stderr, "recorded run %s in %s\n", runId.c_str(), recording->file().c_str());
    }
    const std::vector<BoardSummary> boards = tally.summary();
    if (options.json)
        printJson(session, identity, tally.cycles(), boards);
    else
        printText(tally.cycles(), boards);
    for (const BoardSummary& b : boards)
        if (!b.failing.empty())
            session.view().report(failingLine(b, session.english()));
    return MeasureTally::allPassed(boards) && !interrupted ? kSuccess : kBoardFailed;
}

} // namespace

Command measureCommand()
{
    auto cycles = std::make_shared<int>(10);
    auto record = std::make_shared<RecordArgs>();
    return {{"measure"},
            "run N acquisition cycles as the station does, judge every board, print a table",
            true,
            [cycles, record](CLI::App& app) {
                app.add_option("--cycles", *cycles, "acquisition cycles to judge (default 10)")
                    ->check(CLI::Range(1, 1000000));
                app.add_flag("--record", record->record,
                             "keep a test run over as many cycles in the results file (see --results)");
                app.add_option("--serial", record->serials,
                               "SLOT=SERIAL: the serial of board SLOT (gridCols * row + col) for --record")
                    ->type_name("SLOT=SERIAL");
            },
            [cycles, record](const GlobalOptions& options) { return runMeasure(options, *cycles, *record); }};
}

} // namespace cli
