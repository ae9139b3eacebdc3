#include "AcquisitionLoop.h"

#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "device/Pacing.h"
#include "display/BoardGrid.h"
#include "setup/GlobalSettings.h"
#include "setup/TestSetup.h"

#include <cstdio>
#include <mutex>

namespace station {
namespace {

using namespace std::chrono_literals;

// After a cycle cut short by a head that does not answer: a re-synchronisation has just waited
// out its bound, or the handle is dead and the removal is on its way; do not spin.
constexpr auto kSilentCyclePause = 50ms;
// The acquisition thread's timers fire at most this late, so the control-block pauses stay
// close to their 10 ms.
constexpr auto kAcquisitionTimerSlack = 1us;

std::uint8_t low8(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

int failCountOf(const display::BoardGrid& grid)
{
    return grid.failCount.load(std::memory_order_relaxed);
}

} // namespace

AcquisitionLoop::AcquisitionLoop(StationContext& context)
    : ctx_(context), link_(context.channel, context.view)
{
}

void AcquisitionLoop::prepareThread()
{
    pacing::setTimerSlack(kAcquisitionTimerSlack);
}

void AcquisitionLoop::run()
{
    prepareThread();
    // Closing cuts the exchange in progress short instead of waiting out its bound.
    const CUSBChannel::CancelScope cancel([this] { return ctx_.flags.stopping(); });
    while (ctx_.flags.run.load(std::memory_order_acquire) && !ctx_.flags.stopping())
        cycle();
}

void AcquisitionLoop::cycle()
{
    // The board count is read again before every board, so a change takes effect within the cycle.
    for (int k = 0;; ++k) {
        if (ctx_.flags.stopping())
            return; // closing: the close sequence sets the outputs itself
        const BoardRead read = readBoard(k);
        if (read == BoardRead::NoBoard)
            break;
        if (read == BoardRead::HeadSilent) {
            // The lamps and LCD cannot be set; the next cycle's first request re-synchronises.
            link_.update(ctx_.setup.global().englishUi());
            ctx_.flags.pause(kSilentCyclePause);
            return;
        }
    }
    link_.update(ctx_.setup.global().englishUi());
    signalResult();
}

AcquisitionLoop::BoardRead AcquisitionLoop::readBoard(int k)
{
    const GlobalSettings global = ctx_.setup.global();
    const int boards = global.gridCols * global.gridRows;
    if (k >= boards)
        return BoardRead::NoBoard;

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
    if (!head.SelectPort(address, bits))
        return BoardRead::HeadSilent; // nothing was sent: the head is not in step

    CUSBHardWare::CountsBuffer buffer{};
    // Counts whose reply did not arrive would be another reply's bytes: they are never judged.
    const bool received =
        head.ReadCounts(static_cast<std::uint8_t>(n), measure.countsParam1(), measure.countsParam2(), buffer);
    BoardCounts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));

    const bool shown =
        col < global.gridCols && row < global.gridRows && display::BoardGrid::inStorage(row, col);
    if (!received)
        link_.update(global.englishUi()); // say so at once when the head has gone quiet
    if (received && shown && !ctx_.flags.expansionDialogOpen.load(std::memory_order_acquire)) {
        display::BoardPanel& panel = ctx_.grid.panel(row, col);

        int tested = 0;
        unsigned long sum = 0;
        for (int i = 0; i < n; ++i)
            if (panel.modeOf(i) == 0) {
                ++tested;
                sum += counts[static_cast<std::size_t>(i)];
            }
        if (zeroReadingRule(k, row, col, tested, sum)) {
            panel.setRaw(counts.data(), n);
            if (ctx_.flags.recording.load(std::memory_order_relaxed) && ctx_.record)
                ctx_.record(counts);
        }
    }

    head.SelectPort(address, 0);
    return head.inStep() ? BoardRead::Done : BoardRead::HeadSilent;
}

bool AcquisitionLoop::zeroReadingRule(int k, int row, int col, int tested, unsigned long sum)
{
    // A board whose tested channels all read 0 means the head's front end has stopped: a
    // hardware-type head is restarted, which brings the station through a reconnection. A board
    // that still reads zeros after a few restarts is wired wrong; restarting cannot mend that.
    CUSBChannel& head = ctx_.channel;
    ZeroRestarts& restarts = ctx_.flags.zeroRestarts;
    if (sum != 0 || tested < 1) {
        restarts.countsRead(k);
        return true;
    }
    if (!head.firmwareInfo().isHardwareType())
        return true;
    if (head.commandRunning())
        return true; // a command's own exchanges are not cut short by a restart
    switch (restarts.zerosRead(k)) {
    case ZeroRestarts::Action::Restart:
        ctx_.flags.run.store(false, std::memory_order_release);
        head.Restart();
        return true;
    case ZeroRestarts::Action::GiveUp: {
        const bool english = ctx_.setup.global().englishUi();
        char message[512];
        std::snprintf(message, sizeof message, english ? text::kZeroBoardEnglish : text::kZeroBoardChinese,
                      row, col, ZeroRestarts::kLimit);
        ctx_.view.postMessage(StationMessage::make(message, std::nullopt, MessageIcon::Warning));
        return false;
    }
    case ZeroRestarts::Action::Hold:
        return false; // not measured: the board's counts are not shown
    }
    return false;
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
