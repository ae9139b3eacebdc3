#include "Thresholds.h"

#include <numeric>

namespace setting {

std::optional<std::int32_t> truncatedMean(std::span<const std::int32_t> values)
{
    if (values.empty())
        return std::nullopt;
    // Summed wide so that many large samples cannot overflow; C++ division truncates toward zero.
    const std::int64_t sum = std::accumulate(values.begin(), values.end(), std::int64_t{0});
    return static_cast<std::int32_t>(sum / static_cast<std::int64_t>(values.size()));
}

} // namespace setting
