#pragma once

#include "CUSBHardWare.h"
#include "FirmwareInfo.h"
#include "HidBus.h"
#include "StorageMap.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// The station's one device object: the command set plus the composite lock that keeps
// sequences of commands (read-modify-write, select-read-release) together, and the
// operations on the control and identity blocks.
//
// Lock order is always compositeLock, then transactionLock.
class CUSBChannel : public CUSBHardWare {
public:
    CUSBChannel() = default;
    ~CUSBChannel() override;

    std::recursive_mutex compositeLock;

    // Opens the head on the bus under both locks and replaces the open handle (the old one is
    // closed). Returns true when a head was found; with none found the old handle stays. When a
    // head is listed but cannot be opened, `notAccessible` (if given) gets the errno of the failed
    // open (0: unknown); otherwise it is reset.
    bool openTester(HidBus& bus, std::optional<int>* notAccessible = nullptr);
    // Puts an already open handle in place of the current one (under both locks).
    void attach(std::unique_ptr<HidHandle> handle);
    // Closes the open handle, if any (under both locks).
    void detach();
    // Path of the open handle, empty when none; used to tell whether a removal concerns the head.
    // Never waits for a transaction, so the GUI thread may ask at any time.
    std::string devicePath() const { return handlePath(); }

    // Held by a command that runs a sequence of exchanges of its own (a dialog's OK, a Load, the
    // one-key setting): while one is held the acquisition loop does not restart the head under
    // it. Taking it waits for the composite sequence in progress, so a restart decided before has
    // been sent by then.
    class CommandGuard {
    public:
        explicit CommandGuard(CUSBChannel& channel);
        ~CommandGuard();
        CommandGuard(const CommandGuard&) = delete;
        CommandGuard& operator=(const CommandGuard&) = delete;

    private:
        CUSBChannel& channel_;
    };
    bool commandRunning() const { return commandsRunning_.load(std::memory_order_acquire) > 0; }

    // The connected head's firmware record, read at every connection.
    FirmwareInfo firmwareInfo() const;
    void setFirmwareInfo(const FirmwareInfo& info);

    // Changes one byte of the control block: 10 ms, ReadControl, 10 ms, WriteControl, under both
    // locks. Every other byte is written back as read.
    bool setControlByte(int index, std::uint8_t value);

    // Reads the identity block (254) under compositeLock. The first one read after opening the
    // head is kept as the link's known answer (knownIdentity()).
    bool readIdentity(Payload& block);

private:
    std::atomic<int> commandsRunning_{0};
    mutable std::mutex firmwareMutex_;
    FirmwareInfo firmwareInfo_;
};

// Text of a NUL-padded field of at most 16 bytes, up to the first NUL.
std::string identityText(const Payload& block, int offset);
