#pragma once

#include "device/CUSBHardWare.h"
#include "device/HidBus.h"
#include "device/Report.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// Raw access to a simulated head for its tests: builds reports byte by byte, writes them on a
// handle and collects the replies the head queued.
namespace simtest {

// A report whose bytes 1, 2, ... are `bytes`; the rest are 0.
inline Report report(std::initializer_list<std::uint8_t> bytes)
{
    Report r{};
    std::size_t i = 1;
    for (std::uint8_t b : bytes)
        r[i++] = b;
    return r;
}

inline Report header(std::uint8_t code)
{
    return report({0xAA, 0x55, code});
}

// A data report carrying `payload` in bytes 1..64.
inline Report dataReport(const Payload& payload)
{
    Report r{};
    std::copy(payload.begin(), payload.end(), r.begin() + 1);
    return r;
}

inline Payload payloadOf(const Report& r)
{
    Payload p{};
    std::copy(r.begin() + 1, r.end(), p.begin());
    return p;
}

inline Report readCountsFrame(std::uint8_t n, std::uint8_t p1 = 0x07, std::uint8_t p2 = 0)
{
    return report({0xAA, 0x55, 0x30, 0x20, n, 0x55, 0xAA, p1, p2});
}

inline Report selectPortFrame(std::uint8_t address, std::uint8_t bits)
{
    return report({0xAA, 0x55, 0x50, address, bits});
}

inline Report patchBlockFrame(std::uint8_t block, std::uint8_t offset, std::uint8_t value, std::uint8_t mask,
                              const std::string& signature)
{
    Report r = report({0xAA, 0x55, 0x40, block, offset, value, mask});
    std::copy_n(signature.begin(), std::min<std::size_t>(signature.size(), 10), r.begin() + 8);
    return r;
}

// Names parameterised cases after their `name` field.
struct ByName {
    template <typename Param> std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

class Wire {
public:
    explicit Wire(std::unique_ptr<HidHandle> handle) : handle_(std::move(handle)) {}

    HidHandle& handle() { return *handle_; }

    // Writes the reports in order; false as soon as one write fails.
    bool send(const std::vector<Report>& reports)
    {
        for (const Report& r : reports) {
            if (!handle_->write(r.data(), r.size()))
                return false;
        }
        return true;
    }

    // The replies that are readable now (the head answers while it receives).
    std::vector<Report> replies()
    {
        std::vector<Report> result;
        Report r{};
        while (handle_->read(r.data(), r.size(), 0) == static_cast<int>(r.size()))
            result.push_back(r);
        return result;
    }

    std::vector<Report> exchange(const std::vector<Report>& reports)
    {
        EXPECT_TRUE(send(reports));
        return replies();
    }

private:
    std::unique_ptr<HidHandle> handle_;
};

} // namespace simtest
