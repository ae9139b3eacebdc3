#pragma once

#include "BoardMeasureSettings.h"
#include "BoardRecord.h"
#include "BoardTable.h"
#include "GlobalSettings.h"
#include "GridCounts.h"

#include <array>
#include <mutex>
#include <string>

// The station's images of the setup stored on the head. Shared between threads: the
// acquisition thread reads the global settings, the board table and the measurement settings
// while the GUI thread or a worker changes them. Every image is read and written whole under an
// internal mutex (snapshot getters, whole setters), so a reader never sees a torn record.
//
// The images are not the head: operations that read, change and write a record on the head
// work on a copy under the device's compositeLock (see HeadOperations).
class TestSetup {
public:
    TestSetup() = default;
    TestSetup(const TestSetup&) = delete;
    TestSetup& operator=(const TestSetup&) = delete;

    // The grid view's row and column counts: the grid view holds this object by reference.
    GridCounts& grid() { return grid_; }
    const GridCounts& grid() const { return grid_; }

    // Upper-cased device type of the connected head; empty before the first connection.
    std::string deviceType() const;
    void setDeviceType(const std::string& type);

    GlobalSettings global() const;
    void setGlobal(const GlobalSettings& settings);

    BoardTable boardTable() const;
    void setBoardTable(const BoardTable& table);
    // Entry k (0..63); out-of-range k gives a zero entry / is ignored.
    BoardTableEntry boardTableEntry(int k) const;
    void setBoardTableEntry(int k, const BoardTableEntry& entry);

    // Measurement settings of board index k (0..31); out-of-range k gives the defaults / is ignored.
    BoardMeasureSettings measure(int k) const;
    void setMeasure(int k, const BoardMeasureSettings& settings);
    std::array<BoardMeasureSettings, BoardMeasureSettings::kBoards> measures() const;

    // The board record that was read or edited last.
    BoardRecord workRecord() const;
    void setWorkRecord(const BoardRecord& record);

private:
    GridCounts grid_{2, 2};

    mutable std::mutex mutex_;
    std::string deviceType_;
    GlobalSettings global_;
    BoardTable boardTable_;
    std::array<BoardMeasureSettings, BoardMeasureSettings::kBoards> measure_{};
    BoardRecord workRecord_;
};
