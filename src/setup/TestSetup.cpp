#include "TestSetup.h"

namespace {

bool inRange(int k, int size)
{
    return k >= 0 && k < size;
}

} // namespace

std::string TestSetup::deviceType() const
{
    std::lock_guard lock(mutex_);
    return deviceType_;
}

void TestSetup::setDeviceType(const std::string& type)
{
    std::lock_guard lock(mutex_);
    deviceType_ = type;
}

GlobalSettings TestSetup::global() const
{
    std::lock_guard lock(mutex_);
    return global_;
}

void TestSetup::setGlobal(const GlobalSettings& settings)
{
    std::lock_guard lock(mutex_);
    global_ = settings;
}

BoardTable TestSetup::boardTable() const
{
    std::lock_guard lock(mutex_);
    return boardTable_;
}

void TestSetup::setBoardTable(const BoardTable& table)
{
    std::lock_guard lock(mutex_);
    boardTable_ = table;
}

BoardTableEntry TestSetup::boardTableEntry(int k) const
{
    std::lock_guard lock(mutex_);
    return inRange(k, BoardTable::kEntries) ? boardTable_.entries[static_cast<std::size_t>(k)]
                                            : BoardTableEntry{};
}

void TestSetup::setBoardTableEntry(int k, const BoardTableEntry& entry)
{
    std::lock_guard lock(mutex_);
    if (inRange(k, BoardTable::kEntries))
        boardTable_.entries[static_cast<std::size_t>(k)] = entry;
}

BoardMeasureSettings TestSetup::measure(int k) const
{
    std::lock_guard lock(mutex_);
    return inRange(k, BoardMeasureSettings::kBoards) ? measure_[static_cast<std::size_t>(k)]
                                                     : BoardMeasureSettings{};
}

void TestSetup::setMeasure(int k, const BoardMeasureSettings& settings)
{
    std::lock_guard lock(mutex_);
    if (inRange(k, BoardMeasureSettings::kBoards))
        measure_[static_cast<std::size_t>(k)] = settings;
}

std::array<BoardMeasureSettings, BoardMeasureSettings::kBoards> TestSetup::measures() const
{
    std::lock_guard lock(mutex_);
    return measure_;
}

BoardRecord TestSetup::workRecord() const
{
    std::lock_guard lock(mutex_);
    return workRecord_;
}

void TestSetup::setWorkRecord(const BoardRecord& record)
{
    std::lock_guard lock(mutex_);
    workRecord_ = record;
}
