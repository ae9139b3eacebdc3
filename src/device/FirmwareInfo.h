#pragma once

#include <array>
#include <cstdint>

// The head's firmware record: the first 41 bytes of the ReadFirmwareInfo reply.
struct FirmwareInfo {
    static constexpr int kSize = 41;
    std::array<std::uint8_t, kSize> bytes{};

    // High nibble of byte 0: 0 is the hardware type, anything else the software type.
    int kind() const { return bytes[0] >> 4; }
    bool isHardwareType() const { return kind() == 0; }
    int bugFixCount() const { return bytes[0] & 0x0F; }
    // Firmware version, read as four hex digits from the top nibble down: 0x0056 is 0.0.5.6.
    std::uint16_t version() const { return word(1); }
    std::uint16_t buildYear() const { return word(3); }
    int buildMonth() const { return bytes[5]; }
    int buildDay() const { return bytes[6]; }
    std::uint16_t bootloaderVersion() const { return word(7); }

    friend bool operator==(const FirmwareInfo&, const FirmwareInfo&) = default;

private:
    std::uint16_t word(int offset) const
    {
        return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
    }
};
