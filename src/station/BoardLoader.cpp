#include "BoardLoader.h"

#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "display/Verdict.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

#include <cstdio>
#include <mutex>

namespace station {

BoardLoader::Result BoardLoader::load()
{
    HeadOperations& ops = ctx_.ops;
    if (!ops.readGlobalSettings() || !ops.readBoardTable())
        return Result::NoReply;

    const GlobalSettings global = ctx_.setup.global();
    const int rows = global.gridRows;
    const int cols = global.gridCols;
    ctx_.view.setProgressRange(rows * cols);
    ctx_.view.setProgressPosition(0);

    Result result = Result::Loaded;
    // One rule for every grid size that enters the station: each count 0..4.
    if (!GridCounts::acceptable(rows, cols)) {
        ctx_.view.setCaption(text::kGridRefused);
        ctx_.channel.setControlByte(storage::kControlLedFail, 1);
        result = Result::GridRefused;
    } else {
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col) {
                display::BoardPanel& panel = ctx_.grid.panel(row, col);
                panel.loaded.store(false, std::memory_order_release);
                panel.verdict.store(static_cast<std::uint8_t>(display::BoardVerdict::Loading),
                                    std::memory_order_relaxed);
            }
        ctx_.setup.grid().set(rows, cols);
        for (int row = 0; row < rows && result == Result::Loaded; ++row)
            for (int col = 0; col < cols; ++col) {
                if (cancelled_()) {
                    markNotLoaded(row, col, rows, cols);
                    result = Result::Stopped;
                    break;
                }
                if (!loadBoard(row, col, cols) && !loadBoard(row, col, cols)) {
                    markNotLoaded(row, col, rows, cols);
                    // A head that answers nothing at all any more is gone, not one board.
                    if (!ops.readGlobalSettings())
                        return Result::NoReply;
                    char message[256];
                    std::snprintf(message, sizeof message,
                                  global.englishUi() ? text::kBoardNotLoadedEnglish
                                                     : text::kBoardNotLoadedChinese,
                                  row, col);
                    ctx_.view.postMessage(StationMessage::make(message, std::nullopt, MessageIcon::Warning));
                    result = Result::BoardMissing;
                    break;
                }
                ctx_.view.stepProgress();
            }
        if (result == Result::Stopped)
            return result;
    }

    ops.readBoardTable();
    ctx_.grid.excessIndication.store(global.excessIndication != 0, std::memory_order_relaxed);
    if (ctx_.flags.expansionDialogOpen.load(std::memory_order_acquire))
        ctx_.view.refreshExpansionDialog();
    return result;
}

bool BoardLoader::loadBoard(int row, int col, int gridCols)
{
    HeadOperations& ops = ctx_.ops;
    const int b = row * gridCols + col;
    const BoardTableEntry entry = ctx_.setup.boardTableEntry(b);
    const int n = entry.channels();
    const auto first = [n](const auto& values) {
        return std::span(values.data(), static_cast<std::size_t>(n));
    };

    // Everything is read before anything is taken: a reply that did not come never leaves
    // another array's values (or a default record) in the panel.
    ChannelValues reference{};
    ChannelValues high{};
    ChannelValues low{};
    ChannelValues mask{};
    if (!ops.readBoardArray(b, BoardArray::Reference, reference) ||
        !ops.readBoardArray(b, BoardArray::ThresholdHigh, high) ||
        !ops.readBoardArray(b, BoardArray::ThresholdLow, low) ||
        !ops.readBoardArray(b, BoardArray::Mask, mask))
        return false;
    const HeadOperations::BoardOrder order = ops.readBoardOrder(b);
    if (!order.ok)
        return false;
    BoardRecord record;
    if (!ops.readBoardRecord(b, record))
        return false;

    const GlobalSettings global = ctx_.setup.global();
    const std::uint8_t address =
        entry.boardIndex < global.expandBoardAddress.size() ? global.expandBoardAddress[entry.boardIndex] : 0;
    const std::uint8_t bits = entry.port < 8 ? static_cast<std::uint8_t>(1 << entry.port) : 0;
    const std::optional<std::uint16_t> version = readBoardVersion(address, bits);
    if (!version)
        return false;

    display::BoardPanel& panel = ctx_.grid.panel(row, col);
    panel.setChannelCount(n);
    panel.SetReferences(first(reference));
    panel.SetThresholdsHigh(first(high));
    panel.SetThresholdsLow(first(low));
    ChannelBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(mask[i]);
    panel.SetMasks(first(bytes));
    // With the custom order off the identity order is in force, whatever the panel showed before.
    if (order.orderEnable)
        panel.setOrder(first(order.order));
    else
        panel.setIdentityOrder();
    ctx_.setup.setWorkRecord(record);
    panel.setViewRange(record.viewRangeMax, record.viewRangeMin);
    panel.setPearsonCheck(record.pearsonEnable(), record.pearsonThreshold);
    panel.loaded.store(true, std::memory_order_release);
    ctx_.view.repaintGrid();

    BoardMeasureSettings measure = ctx_.setup.measure(b);
    measure.takeSettings(record);
    measure.firmwareVersion = *version;
    ctx_.setup.setMeasure(b, measure);
    return true;
}

void BoardLoader::markNotLoaded(int fromRow, int fromCol, int rows, int cols)
{
    for (int row = fromRow; row < rows; ++row)
        for (int col = row == fromRow ? fromCol : 0; col < cols; ++col) {
            display::BoardPanel& panel = ctx_.grid.panel(row, col);
            panel.loaded.store(false, std::memory_order_release);
            panel.verdict.store(static_cast<std::uint8_t>(display::BoardVerdict::NotMeasured),
                                std::memory_order_relaxed);
        }
}

std::optional<std::uint16_t> BoardLoader::readBoardVersion(std::uint8_t address, std::uint8_t bits)
{
    // Held from the selection to the release, so no other select reaches the port in between.
    CUSBChannel& head = ctx_.channel;
    std::lock_guard composite(head.compositeLock);
    {
        std::lock_guard transaction(head.transactionLock);
        head.SelectPort(address, bits);
    }
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    const bool answered = head.BusWrite(0x01, 0xFE) && head.BusRead(high, low);
    {
        std::lock_guard transaction(head.transactionLock);
        head.SelectPort(address, 0);
    }
    if (!answered)
        return std::nullopt;
    return static_cast<std::uint16_t>(high * 256 + low);
}

} // namespace station
