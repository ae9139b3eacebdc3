#include "PendingRunJson.h"

#include "ResultJson.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

using nlohmann::json;

// Marks every line, so that a person who finds the file knows what it is and a later version
// can tell its own format from this one.
constexpr const char* kSchema = "pending-run-1";

json runJson(const TestRun& run)
{
    json boards = json::array();
    for (const auto& board : run.boards) {
        json channels = json::array();
        for (const auto& c : board.channels)
            channels.push_back(channelJson(c, c.mode)); // the number: read back exactly
        json fields = boardFieldsJson(board);
        fields["channels"] = std::move(channels);
        boards.push_back(std::move(fields));
    }
    json fields = runFieldsJson(run);
    fields["schema"] = kSchema;
    fields["boards"] = std::move(boards);
    return fields;
}

// Field readers that name the field a line lacks or gets wrong.
const json& member(const json& object, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end())
        throw std::runtime_error(std::string("\"") + key + "\" is missing");
    return *it;
}

std::runtime_error wrongType(const char* key, const char* wanted)
{
    return std::runtime_error(std::string("\"") + key + "\" is not " + wanted);
}

std::string text(const json& object, const char* key)
{
    const json& value = member(object, key);
    if (!value.is_string())
        throw wrongType(key, "a text");
    return value.get<std::string>();
}

int integer(const json& object, const char* key)
{
    const json& value = member(object, key);
    if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
        value.get<std::int64_t>() > INT32_MAX)
        throw wrongType(key, "a whole number");
    return value.get<int>();
}

double real(const json& object, const char* key)
{
    const json& value = member(object, key);
    if (!value.is_number())
        throw wrongType(key, "a number");
    return value.get<double>();
}

std::optional<double> optionalReal(const json& object, const char* key)
{
    if (member(object, key).is_null())
        return std::nullopt;
    return real(object, key);
}

bool boolean(const json& object, const char* key)
{
    const json& value = member(object, key);
    if (!value.is_boolean())
        throw wrongType(key, "true or false");
    return value.get<bool>();
}

const json& array(const json& object, const char* key)
{
    const json& value = member(object, key);
    if (!value.is_array())
        throw wrongType(key, "a list");
    return value;
}

TestRun runFromJson(const json& line)
{
    if (!line.is_object())
        throw std::runtime_error("not a JSON object");
    if (text(line, "schema") != kSchema)
        throw std::runtime_error("\"schema\" is not " + std::string(kSchema));
    TestRun run;
    run.id = text(line, "runId");
    if (run.id.empty())
        throw std::runtime_error("\"runId\" is empty");
    run.startedAt = text(line, "startedAt");
    run.endedAt = text(line, "endedAt");
    run.stationId = text(line, "stationId");
    run.operatorName = text(line, "operator");
    run.headGuid = text(line, "headGuid");
    run.deviceType = text(line, "deviceType");
    run.firmwareVersion = text(line, "firmwareVersion");
    run.stationVersion = text(line, "stationVersion");
    run.setupHash = text(line, "setupHash");
    run.cycleCount = integer(line, "cycleCount");
    for (const json& b : array(line, "boards")) {
        if (!b.is_object())
            throw std::runtime_error("a board is not a JSON object");
        BoardResult board;
        board.row = integer(b, "row");
        board.col = integer(b, "col");
        board.index = integer(b, "index");
        board.serial = text(b, "serial");
        const auto verdict = verdictFromName(text(b, "verdict"));
        if (!verdict)
            throw std::runtime_error("\"verdict\" is not PASS, FAIL, LOAD or NOT_MEASURED");
        board.verdict = *verdict;
        board.failedCycles = integer(b, "failedCycles");
        board.pearson = optionalReal(b, "pearson");
        board.pearsonThreshold = optionalReal(b, "pearsonThreshold");
        for (const json& c : array(b, "channels")) {
            if (!c.is_object())
                throw std::runtime_error("a channel is not a JSON object");
            ChannelResult channel;
            channel.channel = integer(c, "channel");
            channel.mode = integer(c, "mode");
            channel.reference = integer(c, "reference");
            channel.low = integer(c, "low");
            channel.high = integer(c, "high");
            channel.mean = real(c, "mean");
            channel.min = integer(c, "min");
            channel.max = integer(c, "max");
            channel.sd = real(c, "sd");
            channel.pass = boolean(c, "pass");
            board.channels.push_back(channel);
        }
        run.boards.push_back(std::move(board));
    }
    return run;
}

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

} // namespace

std::string pendingLine(const TestRun& run)
{
    // A text that is not UTF-8 (a serial typed on the tool's command line, say) keeps its run:
    // the bytes JSON cannot carry become U+FFFD instead of failing the whole run.
    return runJson(run).dump(-1, ' ', false, json::error_handler_t::replace);
}

PendingRead parsePendingRuns(const std::string& content)
{
    PendingRead read;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = std::min(content.find('\n', start), content.size());
        const std::string_view line(content.data() + start, end - start);
        ++lineNumber;
        const bool complete = end < content.size();
        start = end + 1;
        if (blank(line))
            continue;
        try {
            read.runs.push_back(runFromJson(json::parse(line)));
        } catch (const std::exception& error) {
            std::string reason = error.what();
            if (dynamic_cast<const json::parse_error*>(&error) != nullptr)
                reason = complete ? "not JSON" : "cut short (the program ended while writing it)";
            read.damage.push_back({lineNumber, reason});
        }
    }
    return read;
}
