#pragma once

#include "FirmwareInfo.h"
#include "Report.h"
#include "hiddata.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// The head's command set. Every command is one transaction under transactionLock: its output
// reports are written back to back, then its replies are read.
//
// Every command returns true when all of its replies arrived (for commands without a reply:
// when a head was open and its reports were written). Output arguments are filled from the
// reply buffer either way, so a caller that ignores the result sees what the head's previous
// reply left there; callers whose decisions rest on a reply check the result instead.
//
// The link keeps request and reply in step. A transaction that misses a reply (time-out, cancel,
// failed write) puts the link out of step: a reply may still be on its way and would answer the
// wrong request. Before the next request the link re-synchronises: it drains the input until
// the line has been quiet for kSettleTime, then reads the identity block and compares it byte for
// byte with the one read at connection. Only a match puts the link back in step; until then every
// command fails without writing anything to the head.
class CUSBHardWare : public hiddata {
public:
    // Re-entrant: a thread that holds it may call commands, which take it again.
    std::recursive_mutex transactionLock;

    // How long the line must be quiet before the known request is sent. The head answers within
    // a few milliseconds and sends the reports of one answer back to back (1 ms polling), and the
    // station never grants it more than 20 ms to settle between requests: once a stalled head
    // sends what it owes, nothing more comes after 50 ms of silence. Well under the reply bound,
    // so a re-synchronisation costs little next to the time-out that caused it.
    static constexpr std::chrono::milliseconds kSettleTime{50};

    // Whether requests and replies are known to be in step (see above). Any thread.
    bool inStep() const { return inStep_.load(std::memory_order_acquire); }
    // When the last reply arrived (or the handle was opened). Any thread.
    std::chrono::steady_clock::time_point lastReplyAt() const
    {
        return std::chrono::steady_clock::time_point(
            std::chrono::steady_clock::duration(lastReplyAt_.load(std::memory_order_relaxed)));
    }
    // The identity block (254) of the open head as first read after opening it; nullopt before.
    // The known answer of a re-synchronisation. Any thread; never waits for a transaction.
    std::optional<Payload> knownIdentity() const;
    // Re-synchronises now when the link is out of step (under transactionLock). True when in step.
    bool resynchronise();

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

protected:
    // A new handle was put in place: the link starts in step, with no known identity.
    void resetLink();
    // Keeps the identity block as the known answer, unless one is known already.
    void rememberIdentity(const Payload& identity);

private:
    // Writes the reports, then reads `replies` reports; after each read, onReply gets the
    // reply buffer (also when that read failed). Returns whether every reply arrived.
    // On an out-of-step link nothing is written unless re-synchronising succeeds first.
    template <typename OnReply>
    bool transact(const Report* reports, int reportCount, int replies, OnReply&& onReply);
    bool transact(const Report* reports, int reportCount);

    void loseStep();
    void noteReply();
    bool tryResynchronise();
    // Writes the identity block request and reads its one reply into `identity`.
    bool askIdentity(Payload& identity);

    std::atomic<bool> inStep_{true};
    std::atomic<std::chrono::steady_clock::rep> lastReplyAt_{
        std::chrono::steady_clock::now().time_since_epoch().count()};
    mutable std::mutex identityMutex_; // guards knownIdentity_ only
    std::optional<Payload> knownIdentity_;
};

// The header report H(c) and the other report helpers shared by the head simulation's tests.
Report headerReport(std::uint8_t code);
