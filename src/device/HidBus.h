#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The platform's HID layer as the station needs it: enumerate present interfaces in a stable
// order, open one by path, read its ids and strings, and move 65-byte reports. Two
// implementations: HidapiBus for real heads and SimBus (sim/) for tests and demo mode.

// One open HID interface. Not thread-safe: the device object's transaction lock makes sure only
// one thread at a time uses a handle.
class HidHandle {
public:
    virtual ~HidHandle() = default;

    virtual std::string path() const = 0;

    // Vendor and product id; false when the attributes cannot be read.
    virtual bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) = 0;

    // UTF-16 manufacturer/product strings; false when the string cannot be read.
    virtual bool manufacturerString(std::u16string& text) = 0;
    virtual bool productString(std::u16string& text) = 0;

    // Writes one report (byte 0 is the report id). Returns false when the write failed.
    virtual bool write(const std::uint8_t* data, std::size_t length) = 0;

    // Waits up to timeoutMs (0: do not wait) for one input report and copies it to data with the
    // report id 0 in byte 0. Returns the number of bytes stored, 0 on time-out, -1 on error
    // (device gone).
    virtual int read(std::uint8_t* data, std::size_t length, int timeoutMs) = 0;
};

class HidBus {
public:
    virtual ~HidBus() = default;

    // Paths of the HID interfaces present now, in enumeration order.
    virtual std::vector<std::string> enumerate() = 0;

    // Opens an interface for reading and writing; null when it cannot be opened.
    virtual std::unique_ptr<HidHandle> open(const std::string& path) = 0;

    // Like open(); when it fails, `error` holds why as an errno value (EACCES, EBUSY, ...; 0 when
    // the bus cannot tell). Lets the station say why a head it sees cannot be used.
    virtual std::unique_ptr<HidHandle> tryOpen(const std::string& path, int& error)
    {
        error = 0;
        return open(path);
    }

    // Vendor and product id of a present interface as the system lists it, without opening it;
    // false when the bus cannot tell.
    virtual bool listedIds(const std::string& /*path*/, std::uint16_t& /*vendorId*/,
                           std::uint16_t& /*productId*/)
    {
        return false;
    }
};
