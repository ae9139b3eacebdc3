#include "HeadOperations.h"

#include "TestSetup.h"
#include "device/CUSBChannel.h"
#include "device/StorageMap.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

bool validBoard(int k)
{
    return k >= 0 && k < BoardTable::kEntries;
}

} // namespace

std::uint16_t boardArrayAddress(int k, BoardArray which)
{
    switch (which) {
    case BoardArray::Reference:
        return storage::referenceAddress(k);
    case BoardArray::ThresholdHigh:
        return storage::thresholdHighAddress(k);
    case BoardArray::ThresholdLow:
        return storage::thresholdLowAddress(k);
    case BoardArray::Mask:
        return storage::maskAddress(k);
    case BoardArray::Order:
        return storage::orderAddress(k);
    }
    return 0;
}

bool isWordArray(BoardArray which)
{
    return which == BoardArray::Reference || which == BoardArray::ThresholdHigh ||
           which == BoardArray::ThresholdLow;
}

namespace {

constexpr auto kTransfer = static_cast<std::uint8_t>(storage::kMemoryTransfer);

} // namespace

HeadOperations::HeadOperations(CUSBChannel& device, TestSetup& setup)
    : device_(device), setup_(setup),
      pause_([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); })
{
}

void HeadOperations::setPause(Pause pause)
{
    pause_ = std::move(pause);
}

void HeadOperations::pause()
{
    pause_(kGroupPause);
}

// ---- global settings ----

bool HeadOperations::readGlobalSettings()
{
    Lock lock(device_.compositeLock);
    Payload block{};
    if (!device_.ReadBlock(storage::SETTINGS_BLOCK, block))
        return false;
    setup_.setGlobal(GlobalSettings::decode(std::span<const std::uint8_t, 64>(block)));
    return true;
}

bool HeadOperations::writeGlobalSettings()
{
    return writeGlobalSettings(setup_.global());
}

bool HeadOperations::writeGlobalSettings(const GlobalSettings& settings)
{
    Lock lock(device_.compositeLock);
    Payload block{};
    if (!device_.ReadBlock(storage::SETTINGS_BLOCK, block))
        return false; // bytes 56..63 unknown: writing would replace them with a stale reply
    settings.encodeInto(std::span<std::uint8_t, 64>(block).first<GlobalSettings::kSize>());
    if (!device_.WriteBlock(storage::SETTINGS_BLOCK, block))
        return false;
    setup_.setGlobal(settings);
    return true;
}

bool HeadOperations::changeGlobalSettings(const std::function<void(GlobalSettings&)>& change, Refresh refresh)
{
    Lock lock(device_.compositeLock);
    if (refresh == Refresh::Yes && !readGlobalSettings())
        return false;
    GlobalSettings copy = setup_.global();
    change(copy);
    return writeGlobalSettings(copy);
}

// ---- identity ----

std::optional<std::string> HeadOperations::readDeviceType()
{
    Payload block{};
    if (!device_.readIdentity(block))
        return std::nullopt;
    return identityText(block, storage::kIdentityDeviceTypeOffset);
}

// ---- board table ----

std::optional<BoardTable> HeadOperations::fetchBoardTable()
{
    Lock lock(device_.compositeLock);
    BoardTable::Bytes bytes{};
    for (int part = 0; part < BoardTable::kSize / storage::kMemoryTransfer; ++part) {
        const int offset = part * storage::kMemoryTransfer;
        if (!device_.ReadMemory(static_cast<std::uint16_t>(storage::kBoardTableAddress + offset), kTransfer,
                                bytes.data() + offset))
            return std::nullopt;
    }
    const BoardTable table = BoardTable::decode(bytes);
    setup_.setBoardTable(table);
    return table;
}

bool HeadOperations::readBoardTable()
{
    return fetchBoardTable().has_value();
}

bool HeadOperations::writeBoardTable()
{
    return writeBoardTable(setup_.boardTable());
}

bool HeadOperations::writeBoardTable(const BoardTable& table)
{
    Lock lock(device_.compositeLock);
    const BoardTable::Bytes bytes = table.encode();
    bool ok = true;
    for (int part = 0; part < BoardTable::kSize / storage::kMemoryTransfer; ++part) {
        const int offset = part * storage::kMemoryTransfer;
        ok = device_.WriteMemory(static_cast<std::uint16_t>(storage::kBoardTableAddress + offset), kTransfer,
                                 bytes.data() + offset) &&
             ok;
    }
    if (ok)
        setup_.setBoardTable(table);
    return ok;
}

bool HeadOperations::updateBoardTableEntry(int k, std::uint8_t row, std::uint8_t col, std::uint8_t boardIndex,
                                           std::uint8_t port, std::uint8_t channelCount)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    std::optional<BoardTable> table = fetchBoardTable();
    if (!table)
        return false; // the other 63 entries are unknown: do not overwrite them
    table->entries[static_cast<std::size_t>(k)] = {BoardTableEntry::makePosition(row, col), channelCount,
                                                   boardIndex, port};
    pause();
    return writeBoardTable(*table);
}

// ---- board arrays and record ----

bool HeadOperations::readBoardArray(int k, BoardArray which, ChannelValues& values)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    const std::uint16_t address = boardArrayAddress(k, which);
    if (isWordArray(which)) {
        std::array<std::uint8_t, 2 * storage::kMemoryTransfer> bytes{};
        const bool first = device_.ReadMemory(address, kTransfer, bytes.data());
        const bool second =
            first && device_.ReadMemory(static_cast<std::uint16_t>(address + storage::kMemoryTransfer),
                                        kTransfer, bytes.data() + storage::kMemoryTransfer);
        if (!second)
            return false;
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        return true;
    }
    ChannelBytes bytes{};
    if (!device_.ReadMemory(address, kTransfer, bytes.data()))
        return false;
    std::copy(bytes.begin(), bytes.end(), values.begin());
    return true;
}

bool HeadOperations::writeBoardArray(int k, BoardArray which, const ChannelValues& values)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    const std::uint16_t address = boardArrayAddress(k, which);
    if (isWordArray(which)) {
        std::array<std::uint8_t, 2 * storage::kMemoryTransfer> bytes{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>(values[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(values[i] >> 8);
        }
        const bool first = device_.WriteMemory(address, kTransfer, bytes.data());
        const bool second =
            device_.WriteMemory(static_cast<std::uint16_t>(address + storage::kMemoryTransfer), kTransfer,
                                bytes.data() + storage::kMemoryTransfer);
        return first && second;
    }
    ChannelBytes bytes{};
    for (std::size_t i = 0; i < values.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(values[i] & 0xFF);
    return device_.WriteMemory(address, kTransfer, bytes.data());
}

bool HeadOperations::readBoardRecord(int k, BoardRecord& record)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    BoardRecord::Bytes bytes{};
    if (!device_.ReadMemory(storage::boardRecordAddress(k), BoardRecord::kSize, bytes.data()))
        return false;
    record = BoardRecord::decode(bytes);
    return true;
}

bool HeadOperations::writeBoardRecord(int k, const BoardRecord& record)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    const BoardRecord::Bytes bytes = record.encode();
    return device_.WriteMemory(storage::boardRecordAddress(k), BoardRecord::kSize, bytes.data());
}

bool HeadOperations::changeBoardRecord(int k, const std::function<void(BoardRecord&)>& change)
{
    Lock lock(device_.compositeLock);
    BoardRecord record;
    if (!readBoardRecord(k, record))
        return false;
    change(record);
    const bool written = writeBoardRecord(k, record);
    setup_.setWorkRecord(record);
    return written;
}

// ---- order ----

HeadOperations::BoardOrder HeadOperations::readBoardOrder(int k)
{
    BoardOrder result;
    Lock lock(device_.compositeLock);
    BoardRecord record;
    if (!readBoardRecord(k, record))
        return result;
    result.orderEnable = record.orderEnable();
    if (!result.orderEnable) {
        result.ok = true;
        return result;
    }
    pause();
    ChannelBytes order{};
    if (!device_.ReadMemory(storage::orderAddress(k), kTransfer, order.data()))
        return result;
    result.order = order;
    result.ok = true;
    return result;
}

bool HeadOperations::writeBoardOrder(int k, bool orderEnable, const ChannelBytes& order)
{
    if (!validBoard(k))
        return false;
    Lock lock(device_.compositeLock);
    pause();
    const bool orderWritten = device_.WriteMemory(storage::orderAddress(k), kTransfer, order.data());
    BoardRecord record;
    if (!readBoardRecord(k, record))
        return false;
    record.setFlag(BoardRecord::OrderEnable, orderEnable);
    return writeBoardRecord(k, record) && orderWritten;
}

bool HeadOperations::restart()
{
    Lock composite(device_.compositeLock);
    Lock transaction(device_.transactionLock);
    return device_.Restart();
}
