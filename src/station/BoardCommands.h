#pragma once

#include "StationContext.h"
#include "setup/BoardMeasureSettings.h"
#include "setup/BoardRecord.h"
#include "setup/ThresholdRule.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace station {

// A value item of the context menu's popups: which measurement setting and which value.
struct MeasureItem {
    enum Field { Gain, Current, Discharge, Delay };
    Field field = Gain;
    int value = 0;
};
// The item of a command id of the popups; nullopt for any other id.
std::optional<MeasureItem> measureItem(int commandId);
// The value the board's settings hold for the field (for the check marks).
int measureValue(const BoardMeasureSettings& settings, MeasureItem::Field field);

// A channel's thresholds as the one-key setting derives them from its count and the record.
thresholdrule::Thresholds oneKeyThresholds(std::uint16_t count, const BoardRecord& record);
// Why the one-key setting refuses: the board, the channel and its thresholds.
std::string oneKeyRefusal(int row, int col, int channel, const thresholdrule::Thresholds& thresholds,
                          bool english);

// The commands of the grid's context menu that act on the head: the four measurement settings
// of the selected board and the one-key setting of every board.
class BoardCommands {
public:
    explicit BoardCommands(StationContext& context) : ctx_(context) {}
    ~BoardCommands();
    BoardCommands(const BoardCommands&) = delete;
    BoardCommands& operator=(const BoardCommands&) = delete;

    // GUI. Sets one measurement setting of board index b on the head and in the station's copy.
    // Returns the refusal message when the board's firmware is too old for the command.
    std::optional<std::string> setMeasure(int b, const MeasureItem& item);

    // The refusal text for a board firmware version below the command's lowest version.
    static std::optional<std::string> firmwareRefusal(MeasureItem::Field field, std::uint16_t version,
                                                      bool english = false);

    // GUI. Starts the one-key setting on a worker of its own and returns at once.
    void startOneKeySetting();
    // The one-key setting itself (the worker's body): present counts become references and the
    // thresholds follow from the working board record. Returns false when it was cut short.
    bool oneKeySetting();

    // Waits for every one-key worker (at close, after the station's flags were stopped).
    void joinWorkers();

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    StationContext& ctx_;
    std::mutex mutex_;
    std::vector<Worker> workers_;
};

} // namespace station
