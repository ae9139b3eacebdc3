#include "MenuCommands.h"

#include "CommandIds.h"
#include "Station.h"
#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "texts/Texts.h"

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
    ctx_.view.setCaption(texts::text(texts::TextId::ConnectedCaption, ctx_.setup.global().englishUi()));
}

} // namespace station
