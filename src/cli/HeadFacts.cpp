#include "HeadFacts.h"

#include "device/CUSBChannel.h"
#include "device/StorageMap.h"
#include "station/BrandTable.h"

#include <cstdio>

namespace cli {

bool readIdentity(CUSBChannel& head, Identity& identity)
{
    Payload block{};
    if (!head.readIdentity(block))
        return false;
    std::string guid = station::formatGuid(block.data() + storage::kIdentityGuidOffset);
    constexpr std::string_view kPrefix = "GUID=";
    if (guid.starts_with(kPrefix))
        guid.erase(0, kPrefix.size());
    identity.guid = guid;
    identity.brand = station::upperAscii(identityText(block, storage::kIdentityBrandOffset));
    identity.deviceType = station::upperAscii(identityText(block, storage::kIdentityDeviceTypeOffset));
    return true;
}

std::string versionText(std::uint16_t version)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X.%X.%X.%X", (version >> 12) & 0xF, (version >> 8) & 0xF,
                  (version >> 4) & 0xF, version & 0xF);
    return text;
}

namespace {

std::string buildDate(const FirmwareInfo& firmware)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", firmware.buildYear(), firmware.buildMonth(),
                  firmware.buildDay());
    return text;
}

} // namespace

nlohmann::json firmwareJson(const FirmwareInfo& firmware)
{
    return {{"kind", firmware.isHardwareType() ? "hardware" : "software"},
            {"fixes", firmware.bugFixCount()},
            {"version", versionText(firmware.version())},
            {"buildDate", buildDate(firmware)},
            {"bootloader", versionText(firmware.bootloaderVersion())}};
}

std::string firmwareText(const FirmwareInfo& firmware)
{
    return versionText(firmware.version()) + " (" + (firmware.isHardwareType() ? "hardware" : "software") +
           " type, " + std::to_string(firmware.bugFixCount()) + " fixes, built " + buildDate(firmware) +
           ", bootloader " + versionText(firmware.bootloaderVersion()) + ")";
}

} // namespace cli
