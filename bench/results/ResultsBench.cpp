// The results file: writing one run of 16 boards x 64 channels (target: at most 20 ms), and the
// Results view's query of the latest 1,000 runs in a file of a year of one station, 1 million
// board results (target: under 200 ms).
#include "ResultsStore.h"
#include "ResultsSummary.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

TestRun run16x64(int number)
{
    TestRun run;
    char id[40];
    std::snprintf(id, sizeof id, "bench-%012d", number);
    run.id = id;
    run.startedAt = "2026-03-01T08:00:00.000Z";
    run.endedAt = "2026-03-01T08:00:01.000Z";
    run.stationId = "bench";
    run.setupHash = std::string(64, 'a');
    run.cycleCount = 5;
    for (int k = 0; k < 16; ++k) {
        BoardResult board;
        board.row = k / 4;
        board.col = k % 4;
        board.index = k;
        board.serial = "SN" + std::to_string(number * 16 + k);
        board.verdict = RunVerdict::Pass;
        for (int c = 0; c < 64; ++c)
            board.channels.push_back(
                {c, 0, 1000 + c, 900 + c, 1100 + c, 1000.5 + c, 998 + c, 1003 + c, 1.25, true});
        run.boards.push_back(board);
    }
    return run;
}

void BM_WriteRun16x64(benchmark::State& state)
{
    const auto file = std::filesystem::temp_directory_path() / "stenvikplus_bench_write.sqlite";
    for (const auto* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(file.string() + suffix);
    ResultsStore store(file);
    int number = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto run = run16x64(++number);
        state.ResumeTiming();
        store.write(run);
    }
    state.counters["channelRows"] = 1024;
}
BENCHMARK(BM_WriteRun16x64)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// 62,500 runs of 16 boards, one every 6 s (1,000,000 board results); channel rows for the
// latest 1,000 runs, which the Results view's failing-channel list reads. Generated once and
// kept in the temporary folder for later runs of the benchmark.
std::filesystem::path yearOfOneStation()
{
    const auto file = std::filesystem::temp_directory_path() / "stenvikplus_bench_year_v2.sqlite";
    if (std::filesystem::exists(file))
        return file;
    const auto partial = std::filesystem::path(file.string() + ".part");
    std::filesystem::remove(partial);
    const auto begin = std::chrono::steady_clock::now();
    {
        ResultsStore store(partial);
        auto& db = store.database();
        sqlite::Transaction transaction(db);
        db.exec(R"sql(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 62499)
INSERT INTO test_run (run_id, started_at, ended_at, station_id, operator_name, head_guid, device_type,
                      firmware_version, station_version, setup_hash, cycle_count)
SELECT printf('run-%08d', i), strftime('%Y-%m-%dT%H:%M:%S.000Z', '2026-01-01', '+' || (i * 6) || ' seconds'),
       strftime('%Y-%m-%dT%H:%M:%S.500Z', '2026-01-01', '+' || (i * 6) || ' seconds'), 'bench', '',
       'GUID', 'TRIVELLAV2', '0.0.5.6', '1.0.0', 'hash', 5 FROM n;
WITH RECURSIVE k(b) AS (SELECT 0 UNION ALL SELECT b + 1 FROM k WHERE b < 15)
INSERT INTO board_result (run_id, board_index, position_row, position_col, serial, verdict, failed_cycles,
                          pearson, pearson_threshold)
SELECT r.run_id, k.b, k.b / 4, k.b % 4, r.run_id || '-' || k.b,
       CASE WHEN (abs(random()) % 50) = 0 THEN 'FAIL' ELSE 'PASS' END, 0, NULL, NULL
FROM test_run r, k;
WITH RECURSIVE c(ch) AS (SELECT 0 UNION ALL SELECT ch + 1 FROM c WHERE ch < 63)
INSERT INTO channel_result (run_id, board_index, channel, mode, reference, low_limit, high_limit, mean,
                            min_count, max_count, sd, pass)
SELECT b.run_id, b.board_index, c.ch, 0, 1000, 900, 1100, 1000.5, 998, 1003, 1.25,
       CASE WHEN b.verdict = 'FAIL' AND c.ch = 13 THEN 0 ELSE 1 END
FROM board_result b, c WHERE b.run_id >= 'run-00061500';
)sql");
        transaction.commit();
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    std::filesystem::rename(partial, file);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::fprintf(stderr, "generated %s in %.1f s\n", file.c_str(), seconds);
    return file;
}

void BM_LatestThousandRuns(benchmark::State& state)
{
    const auto file = yearOfOneStation();
    for (auto _ : state) {
        // What the Results view does when it opens: open the file, read the latest runs.
        ResultsStore store(file);
        ResultsStore::Filter filter;
        filter.limit = 1000;
        const auto runs = store.latestRuns(filter);
        benchmark::DoNotOptimize(runs.data());
        if (runs.size() != 1000)
            state.SkipWithError("expected 1000 runs");
    }
    ResultsStore store(file);
    state.counters["boardResults"] = static_cast<double>(store.boardResultCount());
}
BENCHMARK(BM_LatestThousandRuns)->Unit(benchmark::kMillisecond);

void BM_SummaryOfLatestThousandRuns(benchmark::State& state)
{
    const auto file = yearOfOneStation();
    ResultsStore store(file);
    for (auto _ : state) {
        ResultsStore::Filter filter;
        filter.limit = 1000;
        const auto summary = summariseResults(store, filter);
        benchmark::DoNotOptimize(summary.positions.data());
    }
}
BENCHMARK(BM_SummaryOfLatestThousandRuns)->Unit(benchmark::kMillisecond);

void BM_FailingRunsFilter(benchmark::State& state)
{
    const auto file = yearOfOneStation();
    ResultsStore store(file);
    for (auto _ : state) {
        ResultsStore::Filter filter;
        filter.verdict = RunVerdict::Fail;
        const auto runs = store.latestRuns(filter);
        benchmark::DoNotOptimize(runs.data());
    }
}
BENCHMARK(BM_FailingRunsFilter)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
