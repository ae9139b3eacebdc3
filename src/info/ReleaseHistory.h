#pragma once

#include <array>

// The station's release history as the About dialog lists it, oldest entry first.
struct ReleaseEntry {
    const char* number;
    const char* date;
    const char* appVersion;
    const char* appDescription;
    const char* firmwareVersion;
    const char* firmwareDescription;
    const char* bootloaderVersion;
    const char* hardwareDescription;
};

inline constexpr int kReleaseEntries = 43;

const std::array<ReleaseEntry, kReleaseEntries>& releaseHistory();
