#pragma once

#include "setup/ColorScheme.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// The narrow interface through which the station's logic talks to its window. The logic runs
// on worker threads as well as on the GUI thread; every call below may be made from any thread.
// The window carries out the fire-and-forget calls on the GUI thread in the order they were made,
// and makes the waiting calls (showMessage, refreshExpansionDialog) return early once it is
// closing, so a worker never keeps the window from closing.
namespace station {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// A change of some attributes of one status bar pane; unset fields keep their value.
struct PaneUpdate {
    enum FillMode { NoFill = 0, PlainFill = 1, Hatched = 2 };
    enum Align { Left = 0, Right = 2 };

    std::optional<std::string> label; // UTF-8
    std::optional<Rgb> labelColor;
    std::optional<Rgb> fillColor;
    std::optional<int> fillMode;
    std::optional<int> align;

    static PaneUpdate make(std::optional<std::string> label, std::optional<Rgb> labelColor,
                           std::optional<Rgb> fillColor, std::optional<int> fillMode,
                           std::optional<int> align)
    {
        PaneUpdate update;
        update.label = std::move(label);
        update.labelColor = labelColor;
        update.fillColor = fillColor;
        update.fillMode = fillMode;
        update.align = align;
        return update;
    }
};

enum class MessageIcon { None, Information, Warning };

struct StationMessage {
    std::string text;                   // UTF-8
    std::optional<std::string> caption; // unset: the application's caption; may be empty
    MessageIcon icon = MessageIcon::None;
    bool withOwner = true; // false: a box without owner window

    static StationMessage make(std::string text, std::optional<std::string> caption = std::nullopt,
                               MessageIcon icon = MessageIcon::None)
    {
        StationMessage message;
        message.text = std::move(text);
        message.caption = std::move(caption);
        message.icon = icon;
        return message;
    }
};

class StationView {
public:
    virtual ~StationView() = default;

    virtual void setCaption(const std::string& text) = 0;
    virtual void updatePane(int pane, const PaneUpdate& update) = 0;

    // Replaces the menu bar by the one of the language; greys the certificate command when asked.
    virtual void buildMenuBar(bool english, bool certificateOff) = 0;
    // Enables or greys the four top-level menus.
    virtual void setTopMenusEnabled(bool enabled) = 0;
    virtual void setCommandEnabled(int commandId, bool enabled) = 0;

    // Connection progress bar in the status bar.
    virtual void showProgress(bool visible) = 0;
    virtual void setProgressRange(int maximum) = 0; // range 0..maximum
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;

    virtual void setGridColors(const ColorScheme& scheme) = 0;
    virtual void repaintGrid() = 0;

    // Waits until the operator has dismissed the message (or the window closes).
    virtual void showMessage(const StationMessage& message) = 0;
    // Shows the message without waiting for it.
    virtual void postMessage(const StationMessage& message) = 0;

    // Ends the process with the exit code, without the close sequence.
    virtual void endProcess(int exitCode) = 0;

    // Tells an open expansion board dialog to reload itself and waits until it has.
    virtual void refreshExpansionDialog() = 0;

    // The delayed disconnected state after a removal: when the timer fires, the window calls
    // Station::disconnectTimerFired() on the GUI thread. Starting it again restarts it.
    virtual void startDisconnectTimer(std::chrono::milliseconds delay) = 0;
    virtual void cancelDisconnectTimer() = 0;
};

} // namespace station
