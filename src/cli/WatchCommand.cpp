// watch: the station's acquisition as a stream, one line per cycle (JSON lines with --json),
// until SIGINT or SIGTERM; then the window's close sequence.
#include "Command.h"
#include "ExitCode.h"
#include "HeadSession.h"
#include "StopSignal.h"

#include <CLI/CLI.hpp>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>

namespace cli {
namespace {

using namespace std::chrono_literals;

std::string isoTime(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char full[48];
    std::snprintf(full, sizeof full, "%s.%03dZ", text, static_cast<int>(millis));
    return full;
}

std::string cycleLine(const display::CycleResult& r, bool json)
{
    if (json) {
        nlohmann::json boards = nlohmann::json::array();
        for (const display::BoardResult& b : r.boards)
            boards.push_back({{"index", b.boardIndex},
                              {"row", b.row},
                              {"col", b.col},
                              {"verdict", display::verdictName(b.state)},
                              {"failing", b.failingChannels}});
        return nlohmann::json{{"schema", "stenvikplus.watch/1"},
                              {"cycle", r.cycle},
                              {"time", isoTime(r.time)},
                              {"failCount", r.failCount},
                              {"boards", boards}}
            .dump();
    }
    std::string line = "cycle " + std::to_string(r.cycle) + "  " + isoTime(r.time) + "  " +
                       (r.failCount == 0 ? "ALL PASS" : "FAIL " + std::to_string(r.failCount));
    for (const display::BoardResult& b : r.boards) {
        line +=
            "  " + std::to_string(b.row) + ":" + std::to_string(b.col) + " " + display::verdictName(b.state);
        for (std::size_t i = 0; i < b.failingChannels.size(); ++i)
            line += (i == 0 ? " ch " : ",") + std::to_string(b.failingChannels[i]);
    }
    return line;
}

// Lines made on the acquisition thread, printed on the main thread.
class LineQueue {
public:
    void push(std::string line)
    {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
        }
        ready_.notify_one();
    }
    // Waits a little for lines; returns what there is.
    std::deque<std::string> take(std::chrono::milliseconds wait)
    {
        std::unique_lock lock(mutex_);
        ready_.wait_for(lock, wait, [this] { return !lines_.empty(); });
        return std::exchange(lines_, {});
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> lines_;
};

int runWatch(const GlobalOptions& options)
{
    HeadSession session(options);
    if (const int code = session.open(); code != kSuccess)
        return code;
    LineQueue queue;
    const bool json = options.json;
    const auto token = session.cycles().subscribe(
        [&queue, json](const display::CycleResult& r) { queue.push(cycleLine(r, json)); });
    struct Unsubscribe {
        HeadSession& session;
        station::CycleObservers::Token token;
        ~Unsubscribe() { session.cycles().unsubscribe(token); }
    } unsubscribe{session, token};

    StopSignal stop;
    if (const int code = session.start(); code != kSuccess)
        return code;
    const auto flush = [&queue](std::chrono::milliseconds wait) {
        for (const std::string& line : queue.take(wait))
            std::cout << line << '\n';
        std::cout.flush();
    };
    while (!StopSignal::raised() && session.station().loopRunning())
        flush(20ms);
    const bool lost = !StopSignal::raised();
    session.close();
    flush(0ms);
    return lost ? session.headNotResponding() : kSuccess;
}

} // namespace

Command watchCommand()
{
    return {{"watch"}, "one line per acquisition cycle until SIGINT/SIGTERM, then close", true, {}, runWatch};
}

} // namespace cli
