#include "ResultJson.h"

using nlohmann::json;

json optionalJson(const std::optional<double>& value)
{
    return value ? json(*value) : json(nullptr);
}

json runFieldsJson(const TestRun& run)
{
    return {{"runId", run.id},
            {"startedAt", run.startedAt},
            {"endedAt", run.endedAt},
            {"stationId", run.stationId},
            {"operator", run.operatorName},
            {"headGuid", run.headGuid},
            {"deviceType", run.deviceType},
            {"firmwareVersion", run.firmwareVersion},
            {"stationVersion", run.stationVersion},
            {"setupHash", run.setupHash},
            {"cycleCount", run.cycleCount}};
}

json boardFieldsJson(const BoardResult& board)
{
    return {{"row", board.row},
            {"col", board.col},
            {"index", board.index},
            {"serial", board.serial},
            {"verdict", verdictName(board.verdict)},
            {"failedCycles", board.failedCycles},
            {"pearson", optionalJson(board.pearson)},
            {"pearsonThreshold", optionalJson(board.pearsonThreshold)}};
}

json channelJson(const ChannelResult& channel, json mode)
{
    return {{"channel", channel.channel}, {"mode", std::move(mode)}, {"reference", channel.reference},
            {"low", channel.low},         {"high", channel.high},    {"mean", channel.mean},
            {"min", channel.min},         {"max", channel.max},      {"sd", channel.sd},
            {"pass", channel.pass}};
}
