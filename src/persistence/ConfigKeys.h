#pragma once

#include "BoardRecord.h"
#include "BoardTable.h"
#include "Channels.h"
#include "ConfigValues.h"
#include "GlobalSettings.h"

#include <array>
#include <optional>
#include <string>

class IniFile;

// The sections and keys of the configuration file and their mapping to the setup records,
// without the head: what Save writes and what Load takes from a file.
namespace configkeys {

inline constexpr const char* kGlobalSection = "GLOBALPARAMETER";
inline constexpr const char* kParameterSection = "PARAMETER";
inline constexpr const char* kColorSection = "BARCOLOR";
inline constexpr const char* kExpandSection = "EXPANDBOARD";

// "EXPANDBOARD_%02d_PARA"
std::string boardSection(int k);

// The four arrays of a board section, in the order they are written and read.
inline constexpr std::array<const char*, 4> kArrayKeys = {"REFERENCE", "THRESHOLD_HIGH", "THRESHOLD_LOW",
                                                          "MASK"};

// ---- writing (Save) ----

// GLOBALPARAMETER, PARAMETER, BARCOLOR and EXPANDBOARD, keys in their fixed order.
void writeGlobalKeys(IniFile& ini, const std::string& deviceType, int gridRows, int gridCols,
                     const GlobalSettings& global);

// One board as read from the head for Save.
struct BoardSnapshot {
    BoardTableEntry entry;                 // from the station's board table image
    BoardRecord record;                    // read first
    std::array<ChannelValues, 4> arrays{}; // reference, thresholdHigh, thresholdLow, mask
    bool orderEnable = false;              // as readBoardOrder gave it
    ChannelBytes order = identityOrder();
};
void writeBoardKeys(IniFile& ini, int k, const BoardSnapshot& board);

// ---- reading (Load) ----

// The four grid counts of a file, before anything is changed: every one must lie in 0..4.
struct GridSizes {
    std::int64_t guiRows = 0;
    std::int64_t guiCols = 0;
    std::int64_t boardRows = 0; // EXPANDBOARDROW
    std::int64_t boardCols = 0; // EXPANDBOARDCOL
    bool acceptable() const;
};
GridSizes readGridSizes(const IniFile& ini);

// GUIOVERD and the four buzzer and LED flags.
void applyOutputKeys(const IniFile& ini, GlobalSettings& global);
// PARAMETER, BARCOLOR and EXPANDBOARD. A colour or address list of the wrong count leaves its
// field unchanged.
void applyParameterKeys(const IniFile& ini, GlobalSettings& global);

// What a board section asks to be written.
struct BoardSection {
    std::uint8_t row = 0;
    std::uint8_t col = 0;
    std::uint8_t boardIndex = 0;   // ADDRESS
    std::uint8_t port = 0;         // CHANNEL
    std::uint8_t channelCount = 0; // CHANNELNUMBER
    // Taken only when the list has exactly min(channelCount, 64) values, zero beyond them.
    std::array<std::optional<ChannelValues>, 4> arrays;

    enum class OrderChange { Keep, Set, Clear };
    OrderChange orderChange = OrderChange::Clear;
    ChannelBytes order = identityOrder(); // the order to write with Set or Clear
};
BoardSection readBoardSection(const IniFile& ini, int k);

// The record keys of board k into the record (reserved bytes and bits kept).
void applyBoardRecordKeys(const IniFile& ini, int k, BoardRecord& record);

// ---- completeness (Load checks it before it writes anything) ----

// The first section or key that Save writes and the file lacks, for the file's own grid
// (EXPANDBOARDROW x EXPANDBOARDCOL boards when withBoards): "[SECTION]" for a missing section,
// "[SECTION] KEY" for a missing key, and for a board's channel list of the wrong length the key
// with the counts. nullopt when the file is complete. A CHANNELORDER key is needed only when
// ORDERENABLE is set; its length is not checked (a wrong one keeps the board's order).
std::optional<std::string> firstMissing(const IniFile& ini, bool withBoards);

} // namespace configkeys
