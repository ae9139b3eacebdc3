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

bool shownInView(const display::BoardGrid& grid, int row, int col)
{
    const auto [rows, cols] = grid.counts().get();
    return row >= 0 && col >= 0 && row < rows && col < cols && display::BoardGrid::inStorage(row, col);
}

} // namespace

void AcquisitionLoop::run()
{
    while (ctx_.flags.run.load(std::memory_order_acquire) && !ctx_.flags.stopping())
        cycle();
}

void AcquisitionLoop::cycle()
{
    std::vector<display::BoardResult> judged;
    // The board count is read again before every board, so a change takes effect within the cycle.
    for (int k = 0;; ++k) {
        if (ctx_.flags.stopping())
            return; // closing: the close sequence sets the outputs itself
        const BoardRead read = readBoard(k);
        if (!read.exists)
            break;
        if (read.stored)
            judged.push_back(judgeBoard(k, read));
    }
    const display::CycleResult result = judgeCycle(std::move(judged));
    ctx_.cycles.publish(result);
    signalResult(result.failCount);
}

AcquisitionLoop::BoardRead AcquisitionLoop::readBoard(int k)
{
    BoardRead read;
    const GlobalSettings global = ctx_.setup.global();
    const int boards = global.gridCols * global.gridRows;
    if (k >= boards)
        return read;
    read.exists = true;

    const BoardTableEntry entry = ctx_.setup.boardTableEntry(k);
    read.col = entry.col();
    read.row = entry.row();
    read.channels = entry.channels();
    const int n = read.channels;
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
    // Counts whose reply did not arrive would be another reply's bytes: they are never judged.
    const bool received =
        head.ReadCounts(static_cast<std::uint8_t>(n), measure.countsParam1(), measure.countsParam2(), buffer);
    read.readAt = display::steadyMillis();
    for (std::size_t i = 0; i < read.counts.size(); ++i)
        read.counts[i] = static_cast<std::uint16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));

    const bool shown = read.col < global.gridCols && read.row < global.gridRows &&
                       display::BoardGrid::inStorage(read.row, read.col);
    // A board that did not load has no settings to test against: its counts are not used.
    const bool loaded = shown && ctx_.grid.panel(read.row, read.col).loaded.load(std::memory_order_acquire);
    if (received && loaded && !ctx_.flags.expansionDialogOpen.load(std::memory_order_acquire)) {
        display::BoardPanel& panel = ctx_.grid.panel(read.row, read.col);

        // A board whose tested channels all read 0 means the head's front end has stopped: a
        // hardware-type head is restarted, which brings the station through a reconnection.
        int tested = 0;
        unsigned long sum = 0;
        for (int i = 0; i < n; ++i)
            if (panel.modeOf(i) == 0) {
                ++tested;
                sum += read.counts[static_cast<std::size_t>(i)];
            }
        if (sum == 0 && tested >= 1 && head.firmwareInfo().isHardwareType()) {
            ctx_.flags.run.store(false, std::memory_order_release);
            head.Restart();
        }

        panel.setRaw(read.counts.data(), n);
        if (ctx_.flags.recording.load(std::memory_order_relaxed) && ctx_.record)
            ctx_.record(read.counts);
        read.stored = true;
    }

    head.SelectPort(address, 0);
    return read;
}

display::BoardResult AcquisitionLoop::judgeBoard(int k, const BoardRead& read)
{
    display::BoardPanel& panel = ctx_.grid.panel(read.row, read.col);
    // The panel's settings with this cycle's counts: entries past n keep what the panel shows.
    display::BoardSnapshot board = panel.snapshot();
    std::copy_n(read.counts.begin(), read.channels, board.raw.begin());
    const display::BoardJudgement judgement = display::judgeBoard(board);
    display::publishVerdict(panel, judgement.verdict, judgement.pearson, read.readAt);

    display::BoardResult result;
    result.row = read.row;
    result.col = read.col;
    result.boardIndex = k;
    result.channelCount = board.channelCount;
    result.state = judgement.verdict;
    result.pearsonEnabled = board.pearsonEnable != 0;
    result.pearson = judgement.pearson;
    result.pearsonThreshold = board.pearsonThreshold;
    result.channels.reserve(board.channelCount);
    for (int ch = 0; ch < display::kChannels; ++ch) {
        const bool fails = judgement.channels[ch] == display::ChannelJudgement::Fail;
        if (fails)
            result.failingChannels.push_back(ch);
        if (ch < board.channelCount)
            result.channels.push_back(
                {board.mask[ch], board.reference[ch], board.thresholdLow[ch], board.thresholdHigh[ch],
                 board.raw[ch], judgement.channels[ch] != display::ChannelJudgement::NotJudged, !fails});
    }
    return result;
}

display::CycleResult AcquisitionLoop::judgeCycle(std::vector<display::BoardResult> judged)
{
    display::CycleResult cycle;
    cycle.cycle = ++cycles_;
    cycle.time = std::chrono::system_clock::now();
    const std::int64_t now = display::steadyMillis();
    const auto [rows, cols] = ctx_.grid.counts().get();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (!shownInView(ctx_.grid, r, c))
                continue;
            display::BoardPanel& panel = ctx_.grid.panel(r, c);
            // The last read of a position in this cycle is the one that stands.
            auto it = std::find_if(judged.rbegin(), judged.rend(),
                                   [&](const display::BoardResult& b) { return b.row == r && b.col == c; });
            display::BoardResult board;
            if (it != judged.rend())
                board = std::move(*it);
            else {
                board.row = r;
                board.col = c;
                board.boardIndex = r * cols + c;
                board.channelCount = panel.channels();
            }
            const bool fresh = it != judged.rend() &&
                               display::verdictAt(board.state, panel.countsAt.load(std::memory_order_relaxed),
                                                  now) == board.state;
            if (!fresh) {
                // Not judged in this cycle, or on counts already too old: never a pass. A board
                // that board loading is still reading stays Loading.
                const bool loading = !panel.loaded.load(std::memory_order_acquire) &&
                                     panel.verdict.load(std::memory_order_relaxed) ==
                                         static_cast<std::uint8_t>(display::BoardVerdict::Loading);
                board.state = loading ? display::BoardVerdict::Loading : display::BoardVerdict::NotMeasured;
                board.channels.clear();
                board.failingChannels.clear();
                panel.verdict.store(static_cast<std::uint8_t>(board.state), std::memory_order_relaxed);
            }
            cycle.failCount += display::countsAsFailing(board.state) ? 1 : 0;
            cycle.boards.push_back(std::move(board));
        }
    }
    ctx_.grid.failCount.store(cycle.failCount, std::memory_order_relaxed);
    return cycle;
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

void AcquisitionLoop::signalResult(int failCount)
{
    // One verdict for all four outputs: the one this cycle judged.
    const std::uint8_t flags = ctx_.setup.global().outputFlags;
    CUSBChannel& head = ctx_.channel;
    const auto [ledFail, ledPass] = lampValues(flags, failCount);
    head.setControlByte(8, buzzerValue(flags, failCount));
    head.setControlByte(6, ledFail);
    head.setControlByte(7, ledPass);
    head.ShowText(failCount == 0 ? text::kLcdAllPass : text::kLcdFail);
}

} // namespace station
