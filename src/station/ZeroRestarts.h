#pragma once

#include <map>
#include <mutex>

namespace station {

// The zero-reading rule's memory across reconnections. A board whose tested channels all read 0
// restarts the head, which brings the station through a reconnection; a board that reads zeros
// for a reason a restart cannot mend (a board table naming an unwired port) would restart it for
// ever. So the head is restarted at most kLimit times in a row for the same board; after that
// the board is given up until it reads counts again. Thread-safe.
class ZeroRestarts {
public:
    static constexpr int kLimit = 3;

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
    std::mutex mutex_;
    std::map<int, int> restartsInARow_; // by board index; kLimit + 1 once given up
};

} // namespace station
