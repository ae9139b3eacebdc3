#include "AcquisitionLoop.h"

#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/GlobalSettings.h"
#include "setup/TestSetup.h"

#include <mutex>

namespace station {
namespace {

std::uint8_t low8(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

int failCountOf(const display::BoardGrid& grid)
{
    return grid.failCount.load(std::memory_order_relaxed);
}

} // namespace

void AcquisitionLoop::run()
{
    while (ctx_.flags.run.load(std::memory_order_acquire) && !ctx_.flags.stopping())
        cycle();
}

void AcquisitionLoop::cycle()
{
    // The board count is read again before every board, so a change takes effect within the cycle.
    for (int k = 0;; ++k) {
        if (ctx_.flags.stopping())
            return; // closing: the close sequence sets the outputs itself
        if (!readBoard(k))
            break;
    }
    signalResult();
}

bool AcquisitionLoop::readBoard(int k)
{
    const GlobalSettings global = ctx_.setup.global();
    const int boards = global.gridCols * global.gridRows;
    if (k >= boards)
        return false;

    const BoardTableEntry entry = ctx_.setup.boardTableEntry(k);
    const int col = entry.col();
    const int row = entry.row();
    const int n = entry.channels();
    // A board index past the eight expansion boards selects nothing rather than reading past them.
    const std::uint8_t address = entry.boardIndex < global.expandBoardAddress.size()
                                     ? global.expandBoardAddress[entry.boardIndex]
                                     : std::uint8_t{0};
    const std::uint8_t bits = entry.port < 8 ? low8(1 << entry.port) : std::uint8_t{0};
    const BoardMeasureSettings measure = ctx_.setup.measure(k);

    CUSBChannel& head = ctx_.channel;
    std::lock_guard composite(head.compositeLock);
    head.SelectPort(address, bits);

    CUSBHardWare::CountsBuffer buffer{};
    head.ReadCounts(static_cast<std::uint8_t>(n), measure.countsParam1(), measure.countsParam2(), buffer);
    BoardCounts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));

    const bool shown =
        col < global.gridCols && row < global.gridRows && display::BoardGrid::inStorage(row, col);
    if (shown && !ctx_.flags.expansionDialogOpen.load(std::memory_order_acquire)) {
        display::BoardPanel& panel = ctx_.grid.panel(row, col);

        // A board whose tested channels all read 0 means the head's front end has stopped: a
        // hardware-type head is restarted, which brings the station through a reconnection.
        int tested = 0;
        unsigned long sum = 0;
        for (int i = 0; i < n; ++i)
            if (panel.modeOf(i) == 0) {
                ++tested;
                sum += counts[static_cast<std::size_t>(i)];
            }
        if (sum == 0 && tested >= 1 && head.firmwareInfo().isHardwareType()) {
            ctx_.flags.run.store(false, std::memory_order_release);
            head.Restart();
        }

        panel.setRaw(counts.data(), n);
        if (ctx_.flags.recording.load(std::memory_order_relaxed) && ctx_.record)
            ctx_.record(counts);
    }

    head.SelectPort(address, 0);
    return true;
}

std::uint8_t AcquisitionLoop::buzzerValue(std::uint8_t outputFlags, int failCount)
{
    if ((outputFlags & GlobalSettings::BuzzerEnable) == 0)
        return 0;
    if ((outputFlags & GlobalSettings::BuzzerInvert) != 0)
        return failCount == 0 ? 1 : 0;
    return low8(failCount);
}

std::pair<std::uint8_t, std::uint8_t> AcquisitionLoop::lampValues(std::uint8_t outputFlags, int failCount)
{
    if ((outputFlags & GlobalSettings::LedEnable) == 0)
        return {0, 0};
    const std::uint8_t failing = low8(failCount);
    const std::uint8_t passing = failCount == 0 ? 1 : 0;
    if ((outputFlags & GlobalSettings::LedInvert) != 0)
        return {passing, failing};
    return {failing, passing};
}

void AcquisitionLoop::signalResult()
{
    // failCount is read afresh for every output: the view may judge again in between.
    const std::uint8_t flags = ctx_.setup.global().outputFlags;
    CUSBChannel& head = ctx_.channel;
    head.setControlByte(8, buzzerValue(flags, failCountOf(ctx_.grid)));
    head.setControlByte(6, lampValues(flags, failCountOf(ctx_.grid)).first);
    head.setControlByte(7, lampValues(flags, failCountOf(ctx_.grid)).second);
    head.ShowText(failCountOf(ctx_.grid) == 0 ? text::kLcdAllPass : text::kLcdFail);
}

} // namespace station
