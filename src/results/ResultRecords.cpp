#include "ResultRecords.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <openssl/rand.h>
#include <random>

std::string_view verdictName(RunVerdict verdict)
{
    switch (verdict) {
    case RunVerdict::Pass:
        return "PASS";
    case RunVerdict::Fail:
        return "FAIL";
    case RunVerdict::Load:
        return "LOAD";
    case RunVerdict::NotMeasured:
        return "NOT_MEASURED";
    }
    return "NOT_MEASURED";
}

std::optional<RunVerdict> verdictFromName(std::string_view name)
{
    for (const auto verdict : {RunVerdict::Pass, RunVerdict::Fail, RunVerdict::Load, RunVerdict::NotMeasured})
        if (verdictName(verdict) == name)
            return verdict;
    return std::nullopt;
}

std::string newRunId()
{
    std::array<unsigned char, 16> bytes{};
    if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
        // The OpenSSL generator is not seeded: fall back to the system's random device.
        std::random_device device;
        for (auto& byte : bytes)
            byte = static_cast<unsigned char>(device());
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80); // RFC 4122 variant
    std::string text;
    static constexpr const char* kHex = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 15];
    }
    return text;
}

std::string isoTime(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(time.time_since_epoch()).count();
    const auto millis = ((sinceEpoch % 1000) + 1000) % 1000;
    const std::time_t seconds = system_clock::to_time_t(
        time_point_cast<system_clock::duration>(system_clock::time_point(milliseconds(sinceEpoch - millis))));
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis));
    return text.data();
}

std::string utcNowIso()
{
    return isoTime(std::chrono::system_clock::now());
}

std::optional<std::string> isoSince(std::string_view text)
{
    // Fixed positions of "YYYY-MM-DDThh:mm:ss.mmm": digits everywhere but at the separators.
    static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.ddd";
    std::string value(text);
    if (!value.empty() && value.back() == 'Z')
        value.pop_back();
    if (value.size() > 10 && value[10] == ' ')
        value[10] = 'T';
    const std::size_t sizes[] = {10, 16, 19, 23};
    if (std::find(std::begin(sizes), std::end(sizes), value.size()) == std::end(sizes))
        return std::nullopt;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const bool digit = value[i] >= '0' && value[i] <= '9';
        if (kShape[i] == 'd' ? !digit : value[i] != kShape[i])
            return std::nullopt;
    }
    const int month = std::stoi(value.substr(5, 2));
    const int day = std::stoi(value.substr(8, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    if (value.size() > 10 && (std::stoi(value.substr(11, 2)) > 23 || std::stoi(value.substr(14, 2)) > 59))
        return std::nullopt;
    if (value.size() > 16 && std::stoi(value.substr(17, 2)) > 59)
        return std::nullopt;
    return value;
}
