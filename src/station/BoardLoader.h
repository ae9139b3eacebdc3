#pragma once

#include "StationContext.h"

namespace station {

// Brings every board of a multi-board head into the grid at connection: grid size, board table,
// each board's arrays, order, record, measurement settings and firmware version, with the
// connection progress advancing per board. Runs on the start-up thread, or on the GUI thread
// when a language command reruns the connection set-up.
class BoardLoader {
public:
    enum class Result {
        Loaded,      // every board read
        GridRefused, // the stored grid lies outside 0..4: message in the title, fail lamp lit
        NoReply,     // the grid size or board table did not arrive: treat the head as gone
        Stopped,     // the station is closing or the head went away meanwhile
    };

    // cancelled() is asked between boards.
    BoardLoader(StationContext& context, std::function<bool()> cancelled)
        : ctx_(context), cancelled_(std::move(cancelled))
    {
    }

    Result load();

private:
    void loadBoard(int row, int col, int gridCols);
    std::uint16_t readBoardVersion(std::uint8_t address, std::uint8_t bits);

    StationContext& ctx_;
    std::function<bool()> cancelled_;
};

} // namespace station
