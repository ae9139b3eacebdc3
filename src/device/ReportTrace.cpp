#include "ReportTrace.h"

ReportTrace::ReportTrace(const std::string& path) : stream_(std::fopen(path.c_str(), "a")), owned_(true) {}

ReportTrace::ReportTrace(std::FILE* stream) : stream_(stream) {}

ReportTrace::~ReportTrace()
{
    if (owned_ && stream_ != nullptr)
        std::fclose(stream_);
}

void ReportTrace::written(const Report& report)
{
    line('W', &report);
}

void ReportTrace::read(const Report& report)
{
    line('R', &report);
}

void ReportTrace::readTimeout()
{
    line('R', nullptr);
}

void ReportTrace::note(std::string_view text)
{
    std::lock_guard lock(mutex_);
    if (stream_ == nullptr)
        return;
    std::fprintf(stream_, "# %.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stream_);
}

std::string ReportTrace::hex(const Report& report)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(kReportSize * 2, '0');
    for (std::size_t i = 0; i < kReportSize; ++i) {
        text[2 * i] = kHex[report[i] >> 4];
        text[2 * i + 1] = kHex[report[i] & 0x0F];
    }
    return text;
}

void ReportTrace::discarded(const Report& report)
{
    note("late reply discarded " + hex(report));
}

void ReportTrace::line(char direction, const Report* report)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex_);
    if (stream_ == nullptr)
        return;
    // Whole numbers only: printf's "%f" would follow the desktop locale's decimal comma.
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count();
    const auto seconds = static_cast<long long>(micros / 1000000);
    const auto fraction = static_cast<long long>(micros % 1000000);
    if (report == nullptr) {
        std::fprintf(stream_, "%lld.%06lld %c timeout\n", seconds, fraction, direction);
    } else {
        std::fprintf(stream_, "%lld.%06lld %c %s\n", seconds, fraction, direction, hex(*report).c_str());
    }
    std::fflush(stream_);
}
