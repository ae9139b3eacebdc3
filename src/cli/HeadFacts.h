#pragma once

#include "device/FirmwareInfo.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

class CUSBChannel;

// What the head says about itself, in the forms the tool prints.
namespace cli {

struct Identity {
    std::string guid; // 8-4-4-4 hex groups as the window's status bar shows them, without "GUID="
    std::string brand;
    std::string deviceType; // upper-cased
};

// Reads the identity block; false when it did not arrive.
bool readIdentity(CUSBChannel& head, Identity& identity);

// A 16-bit version as four hex digits from the top nibble down: 0x0056 is "0.0.5.6".
std::string versionText(std::uint16_t version);

nlohmann::json firmwareJson(const FirmwareInfo& firmware);
std::string firmwareText(const FirmwareInfo& firmware);

} // namespace cli
