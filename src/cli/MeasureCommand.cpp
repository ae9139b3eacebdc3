// measure [--cycles N]: the station's start-up and N acquisition cycles, exactly as the window
// runs them (same frames, pauses and head signalling), then the close sequence; every board
// judged over the N cycles from the cycles' own verdicts.
#include "Command.h"
#include "ExitCode.h"
#include "HeadFacts.h"
#include "HeadSession.h"
#include "MeasureTally.h"
#include "StopSignal.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

namespace cli {
namespace {

using namespace std::chrono_literals;

nlohmann::json optionalNumber(const std::optional<double>& value)
{
    return value ? nlohmann::json(*value) : nlohmann::json();
}

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
            {"pearson", optionalNumber(b.pearson)},
            {"pearsonThreshold", optionalNumber(b.pearsonThreshold)},
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
    char line[96];
    if (english)
        std::snprintf(line, sizeof line, "board %d (row %d, col %d) %s: channel ", b.index, b.row, b.col,
                      b.verdict.c_str());
    else
        std::snprintf(line, sizeof line, "板 %d（%d行%d列）%s：通道 ", b.index, b.row, b.col,
                      b.verdict.c_str());
    return line + failingText(b.failing);
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

int runMeasure(const GlobalOptions& options, int cycles)
{
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;

    MeasureTally tally;
    // The loop stops after the last cycle wanted: that cycle is signalled on the head as usual,
    // and no further cycle starts.
    const auto token = session.cycles().subscribe([&tally, &session, cycles](const display::CycleResult& r) {
        tally.add(r);
        if (tally.cycles() >= cycles)
            session.flags().run.store(false, std::memory_order_release);
    });
    struct Unsubscribe {
        HeadSession& session;
        station::CycleObservers::Token token;
        ~Unsubscribe() { session.cycles().unsubscribe(token); }
    } unsubscribe{session, token};

    StopSignal stop;
    if (const int code = session.start(); code != kSuccess)
        return code;
    while (session.station().loopRunning() && !StopSignal::raised())
        std::this_thread::sleep_for(2ms);
    const bool interrupted = StopSignal::raised();
    // The head's identity for the report, read between the last cycle and the close sequence.
    Identity identity;
    const bool identified = !session.headLost() && readIdentity(session.channel(), identity);
    session.close();

    if ((tally.cycles() < cycles && !interrupted) || !identified)
        return session.headNotResponding();
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
    return {{"measure"},
            "run N acquisition cycles as the station does, judge every board, print a table",
            true,
            [cycles](CLI::App& app) {
                app.add_option("--cycles", *cycles, "acquisition cycles to judge (default 10)")
                    ->check(CLI::Range(1, 1000000));
            },
            [cycles](const GlobalOptions& options) { return runMeasure(options, *cycles); }};
}

} // namespace cli
