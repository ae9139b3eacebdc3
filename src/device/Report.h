#pragma once

#include <array>
#include <cstdint>

// One HID report on the wire: byte 0 is the report id (always 0), bytes 1..64 the payload.
inline constexpr std::size_t kReportSize = 65;
inline constexpr std::size_t kPayloadSize = 64;
using Report = std::array<std::uint8_t, kReportSize>;
using Payload = std::array<std::uint8_t, kPayloadSize>;
