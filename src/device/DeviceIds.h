#pragma once

#include <cstdint>

// Fixed identifiers of the test head and the frame signature that PatchBlock carries. The
// simulated head uses the same values.
namespace tester {

inline constexpr std::uint16_t kVendorId = 0x04B4;
inline constexpr std::uint16_t kProductId = 0xE006;
inline constexpr const char* kManufacturer = "KestrelTestWork"; // 15 characters
inline constexpr const char* kProduct = "KestrelProbeV4";

// PatchBlock frame signature: two upper-case letters followed by eight decimal digits, built at
// run time from these two parts (see patchSignature()).
inline constexpr const char* kPatchSignatureLetters = "KT";
inline constexpr std::uint32_t kPatchSignatureNumber = 20160518;

} // namespace tester
