#pragma once

#include <array>
#include <atomic>

namespace station {

// The zero-reading rule's memory across reconnections. A board whose tested channels all read 0
// restarts the head, which brings the station through a reconnection; a board that reads zeros
// for a reason a restart cannot mend (a board table naming an unwired port) would restart it for
// ever. So the head is restarted at most kLimit times in a row for the same board; after that
// the board is given up until it reads counts again.
//
// Written by the acquisition loop only (one runs at a time, each joined before the next starts);
// the counters are atomic so that anyone may look.
class ZeroRestarts {
public:
    static constexpr int kLimit = 3;
    static constexpr int kBoards = 64; // board indices 0..63

    enum class Action {
        Restart, // restart the head (counted)
        GiveUp,  // the limit was just reached: tell the operator once
        Hold,    // given up already: neither restart nor tell again
    };

    // Board k read zeros on every tested channel.
    Action zerosRead(int board);
    // Board k read counts: its run of restarts ends.
    void countsRead(int board);

private:
    // Restarts in a row by board index; kLimit + 1 once given up.
    std::array<std::atomic<int>, kBoards> restartsInARow_{};
};

} // namespace station
