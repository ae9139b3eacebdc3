#pragma once

#include "FirmwareInfo.h"
#include "Report.h"
#include "hiddata.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

// The head's command set. Every command is one transaction under transactionLock: its output
// reports are written back to back, then its replies are read.
//
// Every command returns true when all of its replies arrived (for commands without a reply:
// when a head was open and its reports were written). Output arguments are filled from the
// reply buffer either way, so a caller that ignores the result sees what the head's previous
// reply left there; callers whose decisions rest on a reply check the result instead.
class CUSBHardWare : public hiddata {
public:
    // Re-entrant: a thread that holds it may call commands, which take it again.
    std::recursive_mutex transactionLock;

    // Command codes (byte 3 of the header report).
    enum Code : std::uint8_t {
        kBusRead = 0x1A,
        kBusWrite = 0x1B,
        kQueryStatus = 0x1C,
        kWriteBlock = 0x20,
        kReadBlock = 0x21,
        kWriteMemory = 0x22,
        kReadMemory = 0x23,
        kReadControl = 0x24,
        kWriteControl = 0x25,
        kReadCounts = 0x30,
        kPatchBlock = 0x40,
        kSelectPort = 0x50,
        kShowText = 0xB0,
        kRestart = 0xFD,
        kReadFirmwareInfo = 0xFF,
    };

    // Counts buffer for ReadCounts: two reports, enough for 64 channels.
    using CountsBuffer = std::array<std::uint8_t, 2 * kPayloadSize>;

    // Reads two data bytes from the board selected with SelectPort; status is the second reply's
    // first payload byte.
    bool BusRead(std::uint8_t& high, std::uint8_t& low, std::uint8_t* status = nullptr);
    bool BusWrite(std::uint8_t first, std::uint8_t second, std::uint8_t* status = nullptr);
    // Bits 2..3 of the reply's first payload byte.
    bool QueryStatus(int& status);
    bool WriteBlock(std::uint8_t block, const Payload& data);
    bool ReadBlock(std::uint8_t block, Payload& data);
    // length at most 64; data bytes past length are sent as 0. Holds the lock 10 ms longer.
    bool WriteMemory(std::uint16_t address, std::uint8_t length, const std::uint8_t* data);
    bool ReadMemory(std::uint16_t address, std::uint8_t length, std::uint8_t* data);
    bool ReadControl(Payload& data);
    bool WriteControl(const Payload& data);
    // n channels (at most 64 by the callers); the count of channel i is bytes 2i (low), 2i+1.
    bool ReadCounts(std::uint8_t n, std::uint8_t p1, std::uint8_t p2, CountsBuffer& counts);
    bool PatchBlock(std::uint8_t block, std::uint8_t offset, std::uint8_t value, std::uint8_t mask);
    // bits = 1 << port selects a port of the expansion board at address; 0 releases it.
    bool SelectPort(std::uint8_t address, std::uint8_t bits);
    // Second LCD line: the first 16 characters of text, zero-filled.
    bool ShowText(std::string_view text);
    bool Restart();
    bool ReadFirmwareInfo(FirmwareInfo& info);

    // Number of input reports ReadCounts reads for n channels: (n - 1) div 32 + 1.
    static int countReports(int n) { return (n - 1) / 32 + 1; }
    // The ten characters PatchBlock carries in bytes 8..17.
    static std::string patchSignature();

private:
    // Writes the reports, then reads `replies` reports; after each read, onReply gets the
    // reply buffer (also when that read failed). Returns whether every reply arrived.
    template <typename OnReply>
    bool transact(const Report* reports, int reportCount, int replies, OnReply&& onReply);
    bool transact(const Report* reports, int reportCount);
};

// The header report H(c) and the other report helpers shared by the head simulation's tests.
Report headerReport(std::uint8_t code);
