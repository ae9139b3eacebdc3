#pragma once

#include "BoardRecord.h"
#include "BoardTable.h"
#include "Channels.h"
#include "GlobalSettings.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CUSBChannel;
class TestSetup;

// The arrays of a board region.
enum class BoardArray { Reference, ThresholdHigh, ThresholdLow, Mask, Order };

// Head memory address of an array of board region k.
std::uint16_t boardArrayAddress(int k, BoardArray which);
// Reference and thresholds are 16-bit arrays (128 bytes); mask and order are 8-bit (64 bytes).
bool isWordArray(BoardArray which);

// Every read and write of the setup on the head. Each operation holds the device's
// compositeLock for its whole duration (callers may hold it around several operations: it is
// re-entrant) and waits 20 ms before each group of memory transfers.
//
// Every operation returns false when a transfer's reply did not arrive. A read-modify-write
// whose read failed does not write: writing back a stale reply would corrupt the head.
// The TestSetup images are updated only from complete reads and successful writes.
class HeadOperations {
public:
    using Pause = std::function<void(std::chrono::milliseconds)>;
    static constexpr std::chrono::milliseconds kGroupPause{20};

    HeadOperations(CUSBChannel& device, TestSetup& setup);

    CUSBChannel& device() { return device_; }
    TestSetup& setup() { return setup_; }

    // Replaces the pause (default: sleep on the calling thread). Tests use it to see where the
    // pauses fall between the frames without waiting for them.
    void setPause(Pause pause);

    // ---- global settings (block 249) ----
    // Reads block 249 into the global image.
    bool readGlobalSettings();
    // Reads block 249, replaces bytes 0..55 with the global image, writes the 64 bytes back.
    bool writeGlobalSettings();
    // Same with the given settings, which become the image when written.
    bool writeGlobalSettings(const GlobalSettings& settings);

    // ---- identity ----
    // Device type text of block 254 (bytes 48..63 up to the first NUL), not upper-cased;
    // nullopt when the block could not be read.
    std::optional<std::string> readDeviceType();

    // ---- board table (memory 0..255) ----
    bool readBoardTable();                         // into the image
    bool writeBoardTable();                        // the image
    bool writeBoardTable(const BoardTable& table); // the given table, which becomes the image
    // 20 ms, readBoardTable, sets entry k (position = col << 4 | row & 15), 20 ms, writeBoardTable.
    // Every other entry is written back exactly as just read.
    bool updateBoardTableEntry(int k, std::uint8_t row, std::uint8_t col, std::uint8_t boardIndex,
                               std::uint8_t port, std::uint8_t channelCount);

    // ---- board region k (0..63) ----
    // 20 ms, then the whole array: 16-bit arrays as two 64-byte transfers, mask and order as
    // one. Values of 8-bit arrays are cut to 8 bits when written.
    bool readBoardArray(int k, BoardArray which, ChannelValues& values);
    bool writeBoardArray(int k, BoardArray which, const ChannelValues& values);
    // 20 ms, then the 26 bytes of the board record.
    bool readBoardRecord(int k, BoardRecord& record);
    bool writeBoardRecord(int k, const BoardRecord& record);

    struct BoardOrder {
        bool ok = false; // every transfer's reply arrived
        bool orderEnable = false;
        ChannelBytes order = identityOrder(); // identity unless orderEnable
    };
    // Reads the record; when orderEnable is set, 20 ms and the order region, else the identity
    // order without reading the region.
    BoardOrder readBoardOrder(int k);
    // 20 ms, the order region, 20 ms, the record, sets or clears orderEnable, 20 ms, the record
    // back. The record is not written when its read failed.
    bool writeBoardOrder(int k, bool orderEnable, const ChannelBytes& order);

    // ---- read-modify-write helpers: the lock scope is theirs, callers only change fields ----
    enum class Refresh { Yes, No };
    // Refresh::Yes: readGlobalSettings first (the usual case); Refresh::No starts from the
    // image as it stands. change() gets a copy, which is written and becomes the image.
    bool changeGlobalSettings(const std::function<void(GlobalSettings&)>& change,
                              Refresh refresh = Refresh::Yes);
    // readBoardRecord(k), change() on that copy, writeBoardRecord(k); the record written becomes
    // the working record. Nothing is written when the read failed.
    bool changeBoardRecord(int k, const std::function<void(BoardRecord&)>& change);

    // Sends Restart holding compositeLock and transactionLock.
    bool restart();

private:
    std::optional<BoardTable> fetchBoardTable();
    void pause();

    CUSBChannel& device_;
    TestSetup& setup_;
    Pause pause_;
};
