#pragma once

#include "StationContext.h"
#include "display/CycleResult.h"

#include <optional>

namespace station {

// The acquisition thread's work: read every board of the board table into the grid, judge the
// counts just read, publish that verdict (grid panels, failCount, cycle observers) and signal it
// on the head's buzzer, lamps and LCD. Cycles follow each other without pause while the run flag
// is set.
class AcquisitionLoop {
public:
    explicit AcquisitionLoop(StationContext& context) : ctx_(context) {}

    // Runs cycles until the run flag is found clear before a cycle (or the station stops).
    void run();

    // One cycle over every board, then the verdict and its signals.
    void cycle();

    // The value of the buzzer byte and of the two lamp bytes for a failing-board count.
    static std::uint8_t buzzerValue(std::uint8_t outputFlags, int failCount);
    static std::pair<std::uint8_t, std::uint8_t> lampValues(std::uint8_t outputFlags, int failCount);

private:
    // One board's read: where it is shown and whether its counts arrived.
    struct BoardRead {
        bool exists = false; // false: the board table has no board k any more
        bool stored = false; // counts arrived and went into a shown, loaded panel
        int row = 0;
        int col = 0;
        int channels = 0;
        BoardCounts counts{};
        std::int64_t readAt = 0; // steady ms
    };

    BoardRead readBoard(int k);
    // Judges a stored board on the counts it just read and publishes it to its panel.
    display::BoardResult judgeBoard(int k, const BoardRead& read);
    // Every shown board's verdict for this cycle: judged boards as judged (unless their counts
    // are already too old), every other shown board not measured; failCount from them.
    display::CycleResult judgeCycle(std::vector<display::BoardResult> judged);
    void signalResult(int failCount);

    StationContext& ctx_;
    std::uint64_t cycles_ = 0;
};

} // namespace station
