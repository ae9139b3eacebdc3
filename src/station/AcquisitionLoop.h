#pragma once

#include "LinkStatus.h"
#include "StationContext.h"

namespace station {

// The acquisition thread's work: read every board of the board table into the grid, then signal
// the overall result (failCount of the grid) on the head's buzzer, lamps and LCD. Cycles follow
// each other without pause while the run flag is set.
class AcquisitionLoop {
public:
    explicit AcquisitionLoop(StationContext& context);

    // Runs cycles until the run flag is found clear before a cycle (or the station stops).
    void run();

    // Sets up the calling thread to pace the head: small timer slack, so the control-block
    // pauses end close to their 10 ms. run() does it; so does anything else that runs cycles.
    static void prepareThread();

    // One cycle over every board, then the result.
    void cycle();

    // The value of the buzzer byte and of the two lamp bytes for a failing-board count.
    static std::uint8_t buzzerValue(std::uint8_t outputFlags, int failCount);
    static std::pair<std::uint8_t, std::uint8_t> lampValues(std::uint8_t outputFlags, int failCount);

private:
    enum class BoardRead {
        Done,      // read (or its counts dropped)
        NoBoard,   // the board table says there is no board k any more
        HeadSilent // the head did not answer and the link is still out of step
    };
    BoardRead readBoard(int k);
    // The zero-reading rule for board k at (row, col); true when the counts are to be shown.
    bool zeroReadingRule(int k, int row, int col, int tested, unsigned long sum);
    void signalResult();

    StationContext& ctx_;
    LinkStatus link_;
};

} // namespace station
