#pragma once

#include "StationContext.h"

#include <optional>
#include <string>

namespace station {

class Station;

// The menu bar commands that act on the head and the grid, without their dialogs. GUI thread.
class MenuCommands {
public:
    MenuCommands(StationContext& context, Station& station) : ctx_(context), station_(station) {}

    // Flips one bit of the output flags (buzzer/LED enable and invert): the head changes it at
    // once with PatchBlock, then the whole block is written so the head keeps it.
    void toggleOutputBit(std::uint8_t mask);

    // Flips the excess indication on the head and in the grid (latches are cleared first).
    void toggleExcessIndication();
    void clearExcess();

    void toggleRecording();

    // Writes the language to the head and reruns the connection set-up in it.
    void switchLanguage(bool english);

    // After the expansion board dialog was accepted: the grid follows the stored size, the board
    // table is read, and the head restarts so the whole setup is read again.
    void expansionAccepted();

    // After the colour dialog was accepted with the scheme now in the global image.
    void colorsAccepted();

    // The refusal message when a lock bit of the global settings refuses the command.
    std::optional<std::string> refusal(int commandId) const;

private:
    StationContext& ctx_;
    Station& station_;
};

} // namespace station
