#include "ResultsSummary.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

std::optional<double> PositionYield::yield() const
{
    if (passed + failed == 0)
        return std::nullopt;
    return static_cast<double>(passed) / (passed + failed);
}

namespace {

// The runs taken into account, newest first, bounded by the filter's limit.
constexpr const char* kSelectedRuns =
    "SELECT r.run_id FROM test_run r WHERE r.started_at >= ?1 AND (?2 = '' OR EXISTS "
    "(SELECT 1 FROM board_result s WHERE s.run_id = r.run_id AND s.serial = ?2)) "
    "ORDER BY r.started_at DESC LIMIT ?3";

void bindFilter(sqlite::Statement& statement, const ResultsStore::Filter& filter)
{
    statement.bind(1, filter.since).bind(2, filter.serial).bind(3, filter.limit < 0 ? -1 : filter.limit);
}

} // namespace

ResultsSummary summariseResults(ResultsStore& store, const ResultsStore::Filter& filter, int paretoLength)
{
    auto& db = store.database();
    ResultsSummary summary;

    auto runs = db.prepare(std::string("SELECT COUNT(*) FROM (") + kSelectedRuns + ")");
    bindFilter(runs, filter);
    if (runs.step())
        summary.runs = static_cast<int>(runs.integer(0));

    auto positions =
        db.prepare(std::string("SELECT b.board_index, MIN(b.position_row), MIN(b.position_col), COUNT(*), "
                               "SUM(CASE WHEN b.verdict = 'PASS' THEN 1 ELSE 0 END), "
                               "SUM(CASE WHEN b.verdict = 'FAIL' THEN 1 ELSE 0 END), "
                               "SUM(CASE WHEN b.verdict = 'LOAD' THEN 1 ELSE 0 END), "
                               "SUM(CASE WHEN b.verdict = 'NOT_MEASURED' THEN 1 ELSE 0 END) "
                               "FROM board_result b WHERE b.run_id IN (") +
                   kSelectedRuns + ") GROUP BY b.board_index ORDER BY b.board_index");
    bindFilter(positions, filter);
    while (positions.step()) {
        PositionYield p;
        p.index = static_cast<int>(positions.integer(0));
        p.row = static_cast<int>(positions.integer(1));
        p.col = static_cast<int>(positions.integer(2));
        p.tested = static_cast<int>(positions.integer(3));
        p.passed = static_cast<int>(positions.integer(4));
        p.failed = static_cast<int>(positions.integer(5));
        p.load = static_cast<int>(positions.integer(6));
        p.notMeasured = static_cast<int>(positions.integer(7));
        summary.positions.push_back(p);
    }

    // Only boards not judged PASS can hold a failed channel (a PASS board passed every judged
    // cycle on every channel): their channel rows are looked up by key, instead of scanning
    // the channel rows of every board of the period.
    auto failingBoards =
        db.prepare(std::string("SELECT b.run_id, b.board_index FROM (") + kSelectedRuns +
                   ") s JOIN board_result b ON b.run_id = s.run_id WHERE b.verdict <> 'PASS'");
    bindFilter(failingBoards, filter);
    auto failedChannels = db.prepare("SELECT channel FROM channel_result "
                                     "WHERE run_id = ? AND board_index = ? AND pass = 0");
    std::map<std::pair<int, int>, int> failures;
    while (failingBoards.step()) {
        const int boardIndex = static_cast<int>(failingBoards.integer(1));
        failedChannels.reset();
        failedChannels.bind(1, failingBoards.text(0)).bind(2, boardIndex);
        while (failedChannels.step())
            ++failures[{boardIndex, static_cast<int>(failedChannels.integer(0))}];
    }
    for (const auto& [key, count] : failures)
        summary.pareto.push_back({key.first, key.second, count});
    std::stable_sort(
        summary.pareto.begin(), summary.pareto.end(),
        [](const ChannelFailures& a, const ChannelFailures& b) { return a.failures > b.failures; });
    if (summary.pareto.size() > static_cast<std::size_t>(std::max(paretoLength, 0)))
        summary.pareto.resize(static_cast<std::size_t>(std::max(paretoLength, 0)));
    return summary;
}
