#pragma once

#include "StationContext.h"

#include <optional>

namespace station {

// Brings every board of a multi-board head into the grid at connection: grid size, board table,
// each board's arrays, order, record, measurement settings and firmware version, with the
// connection progress advancing per board. Runs on the start-up thread, or on the GUI thread
// when a language command reruns the connection set-up.
class BoardLoader {
public:
    enum class Result {
        Loaded,       // every board read
        GridRefused,  // the stored grid lies outside 0..4: message in the title, fail lamp lit
        NoReply,      // the grid size or board table did not arrive: treat the head as gone
        Stopped,      // the station is closing or the head went away meanwhile
        BoardMissing, // a board did not load twice: it and the boards after it are not measured
    };

    // cancelled() is asked between boards. Every shown board is Loading until it has loaded; a
    // board whose arrays, order, record or version did not all arrive is read once more, and if
    // that fails too, loading stops there with a message: that board and the rest stay not loaded.
    BoardLoader(StationContext& context, std::function<bool()> cancelled)
        : ctx_(context), cancelled_(std::move(cancelled))
    {
    }

    Result load();

private:
    // True when every reply of the board arrived; only then does the panel take its values.
    bool loadBoard(int row, int col, int gridCols);
    void markNotLoaded(int fromRow, int fromCol, int rows, int cols);
    std::optional<std::uint16_t> readBoardVersion(std::uint8_t address, std::uint8_t bits);

    StationContext& ctx_;
    std::function<bool()> cancelled_;
};

} // namespace station
