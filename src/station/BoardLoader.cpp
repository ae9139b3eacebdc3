#include "BoardLoader.h"

#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "texts/Texts.h"

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
        ctx_.view.setCaption(texts::text(texts::TextId::GridRefusedCaption, global.englishUi()));
        ctx_.channel.setControlByte(storage::kControlLedFail, 1);
        result = Result::GridRefused;
    } else {
        ctx_.setup.grid().set(rows, cols);
        for (int row = 0; row < rows && result == Result::Loaded; ++row)
            for (int col = 0; col < cols; ++col) {
                if (cancelled_()) {
                    result = Result::Stopped;
                    break;
                }
                loadBoard(row, col, cols);
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

void BoardLoader::loadBoard(int row, int col, int gridCols)
{
    HeadOperations& ops = ctx_.ops;
    const int b = row * gridCols + col;
    const BoardTableEntry entry = ctx_.setup.boardTableEntry(b);
    const int n = entry.channels();
    display::BoardPanel& panel = ctx_.grid.panel(row, col);
    const auto first = [n](const auto& values) {
        return std::span(values.data(), static_cast<std::size_t>(n));
    };

    panel.setChannelCount(n);

    ChannelValues values{};
    ops.readBoardArray(b, BoardArray::Reference, values);
    panel.SetReferences(first(values));
    ops.readBoardArray(b, BoardArray::ThresholdHigh, values);
    panel.SetThresholdsHigh(first(values));
    ops.readBoardArray(b, BoardArray::ThresholdLow, values);
    panel.SetThresholdsLow(first(values));

    ops.readBoardArray(b, BoardArray::Mask, values);
    ChannelBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(values[i]);
    panel.SetMasks(first(bytes));

    // With the custom order off the identity order is in force, whatever the panel showed before.
    const HeadOperations::BoardOrder order = ops.readBoardOrder(b);
    if (order.orderEnable)
        panel.setOrder(first(order.order));
    else
        panel.setIdentityOrder();

    BoardRecord record;
    ops.readBoardRecord(b, record);
    ctx_.setup.setWorkRecord(record);
    panel.setViewRange(record.viewRangeMax, record.viewRangeMin);
    panel.setPearsonCheck(record.pearsonEnable(), record.pearsonThreshold);
    ctx_.view.repaintGrid();

    BoardMeasureSettings measure = ctx_.setup.measure(b);
    measure.takeSettings(record);
    const GlobalSettings global = ctx_.setup.global();
    const std::uint8_t address =
        entry.boardIndex < global.expandBoardAddress.size() ? global.expandBoardAddress[entry.boardIndex] : 0;
    const std::uint8_t bits = entry.port < 8 ? static_cast<std::uint8_t>(1 << entry.port) : 0;
    measure.firmwareVersion = readBoardVersion(address, bits);
    ctx_.setup.setMeasure(b, measure);
}

std::uint16_t BoardLoader::readBoardVersion(std::uint8_t address, std::uint8_t bits)
{
    // Held from the selection to the release, so no other select reaches the port in between.
    CUSBChannel& head = ctx_.channel;
    std::lock_guard composite(head.compositeLock);
    {
        std::lock_guard transaction(head.transactionLock);
        head.SelectPort(address, bits);
    }
    head.BusWrite(0x01, 0xFE);
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    head.BusRead(high, low);
    {
        std::lock_guard transaction(head.transactionLock);
        head.SelectPort(address, 0);
    }
    return static_cast<std::uint16_t>(high * 256 + low);
}

} // namespace station
