#include "MenuCommands.h"

#include "CommandIds.h"
#include "Station.h"
#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

#include <mutex>

namespace station {

void MenuCommands::toggleOutputBit(std::uint8_t mask)
{
    // The image is not refreshed first: the bit flips in what the station last read.
    GlobalSettings global = ctx_.setup.global();
    global.outputFlags = static_cast<std::uint8_t>(global.outputFlags ^ mask);
    ctx_.setup.setGlobal(global);
    {
        std::lock_guard composite(ctx_.channel.compositeLock);
        ctx_.channel.PatchBlock(storage::SETTINGS_BLOCK, 0,
                                static_cast<std::uint8_t>(global.outputFlags & mask), mask);
    }
    ctx_.ops.writeGlobalSettings(global);
}

void MenuCommands::toggleExcessIndication()
{
    ctx_.grid.ClearExcess();
    ctx_.ops.changeGlobalSettings(
        [](GlobalSettings& global) { global.excessIndication = global.excessIndication == 0 ? 1 : 0; });
    ctx_.grid.excessIndication.store(ctx_.setup.global().excessIndication != 0, std::memory_order_relaxed);
}

void MenuCommands::clearExcess()
{
    ctx_.grid.ClearExcess();
}

void MenuCommands::toggleRecording()
{
    ctx_.flags.recording = !ctx_.flags.recording;
}

void MenuCommands::switchLanguage(bool english)
{
    ctx_.ops.changeGlobalSettings(
        [english](GlobalSettings& global) { global.setOutput(GlobalSettings::EnglishUi, english); });
    station_.connectionSetup();
    ctx_.view.setCaption(ctx_.setup.global().englishUi() ? text::kConnectedEnglish : text::kConnectedChinese);
}

void MenuCommands::expansionAccepted()
{
    HeadOperations& ops = ctx_.ops;
    ops.readGlobalSettings();
    const GlobalSettings global = ctx_.setup.global();
    // The dialog stores only sizes the grid can show; anything else leaves the grid empty.
    if (GridCounts::acceptable(global.gridRows, global.gridCols))
        ctx_.setup.grid().set(global.gridRows, global.gridCols);
    else
        ctx_.setup.grid().set(0, 0);
    ops.readBoardTable();
    ops.restart();
}

void MenuCommands::colorsAccepted()
{
    const GlobalSettings global = ctx_.setup.global();
    ctx_.view.setGridColors(global.colors);
    ctx_.ops.writeGlobalSettings();
}

std::optional<std::string> MenuCommands::refusal(int commandId) const
{
    const GlobalSettings global = ctx_.setup.global();
    const auto refused = [&](GlobalSettings::LockFlag flag,
                             const char* message) -> std::optional<std::string> {
        if (global.locked(flag))
            return std::string(message);
        return std::nullopt;
    };
    switch (commandId) {
    case cmd::kSave:
        return refused(GlobalSettings::LockSave, text::kLockSave);
    case cmd::kLoad:
        return refused(GlobalSettings::LockLoad, text::kLockLoad);
    case cmd::kExpandSetting:
        return refused(GlobalSettings::LockExpandMenu, text::kLockExpandMenu);
    case cmd::kBoardSetting:
        return refused(GlobalSettings::LockContextSetting, text::kLockContextSetting);
    default:
        return std::nullopt;
    }
}

} // namespace station
