#pragma once

#include <cstddef>
#include <cstdint>

// Multi-byte values in head records are little-endian whatever the host.
namespace le {

inline std::uint16_t get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint64_t get64(const std::uint8_t* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

inline void put64(std::uint8_t* p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i, v >>= 8)
        p[i] = static_cast<std::uint8_t>(v & 0xFF);
}

} // namespace le
