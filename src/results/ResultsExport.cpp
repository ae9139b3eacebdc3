#include "ResultsExport.h"

#include "ResultJson.h"
#include "persistence/CsvField.h"

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

constexpr const char* kCsvHeader =
    "runId,startedAt,endedAt,stationId,operator,headGuid,deviceType,firmwareVersion,stationVersion,"
    "setupHash,cycleCount,row,col,index,serial,verdict,failedCycles,pearson,pearsonThreshold,channels,"
    "failedChannels";

std::string number(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::setprecision(10) << value;
    return text.str();
}

std::string optionalNumber(const std::optional<double>& value)
{
    return value ? number(*value) : std::string();
}

} // namespace

std::string channelModeName(int mode)
{
    switch (mode) {
    case 0:
        return "Open";
    case 1:
        return "Closed";
    case 2:
        return "Masked";
    case 4:
        return "LowerOnly";
    case 8:
        return "UpperOnly";
    default:
        return std::to_string(mode);
    }
}

void exportCsv(ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out)
{
    out << kCsvHeader << "\r\n";
    store.forEachBoardResult(filter, [&out](const TestRun& run) {
        const auto& board = run.boards.front();
        std::string failed;
        for (const auto& channel : board.channels) {
            if (!channel.pass) {
                if (!failed.empty())
                    failed += ' ';
                failed += std::to_string(channel.channel);
            }
        }
        const std::string fields[] = {run.id,
                                      run.startedAt,
                                      run.endedAt,
                                      run.stationId,
                                      run.operatorName,
                                      run.headGuid,
                                      run.deviceType,
                                      run.firmwareVersion,
                                      run.stationVersion,
                                      run.setupHash,
                                      std::to_string(run.cycleCount),
                                      std::to_string(board.row),
                                      std::to_string(board.col),
                                      std::to_string(board.index),
                                      board.serial,
                                      std::string(verdictName(board.verdict)),
                                      std::to_string(board.failedCycles),
                                      optionalNumber(board.pearson),
                                      optionalNumber(board.pearsonThreshold),
                                      std::to_string(board.channels.size()),
                                      failed};
        bool first = true;
        for (const auto& field : fields) {
            out << (first ? "" : ",") << csvField(field);
            first = false;
        }
        out << "\r\n";
    });
}

nlohmann::json boardResultJson(const TestRun& run)
{
    const auto& board = run.boards.front();
    nlohmann::json channels = nlohmann::json::array();
    for (const auto& c : board.channels)
        channels.push_back(channelJson(c, channelModeName(c.mode)));
    nlohmann::json fields = runFieldsJson(run);
    fields.update(boardFieldsJson(board));
    fields["channels"] = std::move(channels);
    return fields;
}

void exportJson(ResultsStore& store, const ResultsStore::Filter& filter, std::ostream& out)
{
    // One object a line inside the array: the file stays valid JSON and is streamed, not built
    // whole in memory.
    out << "[";
    bool first = true;
    store.forEachBoardResult(filter, [&](const TestRun& run) {
        out << (first ? "\n" : ",\n") << boardResultJson(run).dump();
        first = false;
    });
    out << (first ? "]\n" : "\n]\n");
}

nlohmann::json summaryJson(const ResultsSummary& summary)
{
    nlohmann::json positions = nlohmann::json::array();
    for (const auto& p : summary.positions)
        positions.push_back({{"index", p.index},
                             {"row", p.row},
                             {"col", p.col},
                             {"tested", p.tested},
                             {"passed", p.passed},
                             {"failed", p.failed},
                             {"load", p.load},
                             {"notMeasured", p.notMeasured},
                             {"yield", optionalJson(p.yield())}});
    nlohmann::json pareto = nlohmann::json::array();
    for (const auto& f : summary.pareto)
        pareto.push_back({{"index", f.boardIndex}, {"channel", f.channel}, {"failures", f.failures}});
    return {{"runs", summary.runs},
            {"positions", std::move(positions)},
            {"mostFailingChannels", std::move(pareto)}};
}

void writeSummaryText(const ResultsSummary& summary, std::ostream& out)
{
    out << "Runs: " << summary.runs << "\n";
    out << "Position (row, col)  tested  pass  fail  load  not measured  yield\n";
    for (const auto& p : summary.positions) {
        std::array<char, 128> line{};
        const auto yield = p.yield();
        const std::string yieldText = yield ? number(std::round(*yield * 1000.0) / 10.0) + " %" : "-";
        std::snprintf(line.data(), line.size(), "%2d (%d, %d)%12d%6d%6d%6d%14d  %s\n", p.index, p.row, p.col,
                      p.tested, p.passed, p.failed, p.load, p.notMeasured, yieldText.c_str());
        out << line.data();
    }
    out << "Most failing channels (position, channel: failures)\n";
    for (const auto& f : summary.pareto)
        out << "  " << f.boardIndex << ", " << f.channel << ": " << f.failures << "\n";
}
