#include "BoardCommands.h"

#include "BrandTable.h"
#include "CommandIds.h"
#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "setup/ThresholdRule.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace station {

std::optional<MeasureItem> measureItem(int id)
{
    if (id >= cmd::kGainFirst && id <= cmd::kGainLast)
        return MeasureItem{MeasureItem::Gain, id - cmd::kGainFirst + 1};
    if (id >= cmd::kCurrentFirst && id <= cmd::kCurrentLast)
        return MeasureItem{MeasureItem::Current, id - cmd::kCurrentFirst};
    if (id >= cmd::kDischargeFirst && id <= cmd::kDischargeLast)
        return MeasureItem{MeasureItem::Discharge, id - cmd::kDischargeFirst};
    if (id >= cmd::kDelayFirst && id <= cmd::kDelayLast)
        return MeasureItem{MeasureItem::Delay, id - cmd::kDelayFirst};
    return std::nullopt;
}

int measureValue(const BoardMeasureSettings& settings, MeasureItem::Field field)
{
    switch (field) {
    case MeasureItem::Gain:
        return settings.userGain;
    case MeasureItem::Current:
        return settings.current;
    case MeasureItem::Discharge:
        return settings.dischargeTime;
    case MeasureItem::Delay:
        return settings.delayTime;
    }
    return -1;
}

BoardCommands::~BoardCommands()
{
    joinWorkers();
}

std::optional<std::string> BoardCommands::firmwareRefusal(MeasureItem::Field field, std::uint16_t version,
                                                          bool english)
{
    // Gain and current came with board firmware 1.08, discharge and delay time with 1.10.
    const bool early = field == MeasureItem::Gain || field == MeasureItem::Current;
    const std::uint16_t lowest = early ? 0x0108 : 0x0110;
    if (version >= lowest)
        return std::nullopt;
    char message[512];
    std::snprintf(
        message, sizeof message,
        texts::text(early ? texts::TextId::FirmwareTooOld108 : texts::TextId::FirmwareTooOld110, english),
        version >> 8, version & 0xFF);
    return std::string(message);
}

std::optional<std::string> BoardCommands::setMeasure(int b, const MeasureItem& item)
{
    BoardMeasureSettings measure = ctx_.setup.measure(b);
    if (auto refusal = firmwareRefusal(item.field, measure.firmwareVersion, ctx_.setup.global().englishUi()))
        return refusal;

    const auto value = static_cast<std::uint8_t>(item.value);
    const bool written = ctx_.ops.changeBoardRecord(b, [&](BoardRecord& record) {
        switch (item.field) {
        case MeasureItem::Gain:
            record.userGain = value;
            break;
        case MeasureItem::Current:
            record.current = value;
            break;
        case MeasureItem::Discharge:
            record.dischargeTime = value;
            break;
        case MeasureItem::Delay:
            record.delayTime = value;
            break;
        }
    });
    // The station's copy follows the head: when the record could not be read nothing was written.
    if (written) {
        switch (item.field) {
        case MeasureItem::Gain:
            measure.userGain = value;
            break;
        case MeasureItem::Current:
            measure.current = value;
            break;
        case MeasureItem::Discharge:
            measure.dischargeTime = value;
            break;
        case MeasureItem::Delay:
            measure.delayTime = value;
            break;
        }
        ctx_.setup.setMeasure(b, measure);
    }
    return std::nullopt;
}

void BoardCommands::startOneKeySetting()
{
    std::lock_guard lock(mutex_);
    // Workers that have finished are joined here, so their number stays small.
    std::erase_if(workers_, [](Worker& worker) {
        if (!worker.done->load())
            return false;
        worker.thread.join();
        return true;
    });
    if (ctx_.flags.stopping())
        return;
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, done] {
        const CUSBChannel::CancelScope cancel([this] { return ctx_.flags.stopping(); });
        const CUSBChannel::CommandGuard ownSequence(ctx_.channel);
        if (oneKeySetting())
            ctx_.view.postMessage(StationMessage::make(
                texts::text(texts::TextId::OneKeyDone, ctx_.setup.global().englishUi())));
        done->store(true);
    });
    workers_.push_back({std::move(thread), done});
}

void BoardCommands::joinWorkers()
{
    std::vector<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (Worker& worker : workers)
        if (worker.thread.joinable())
            worker.thread.join();
}

thresholdrule::Thresholds oneKeyThresholds(std::uint16_t count, const BoardRecord& record)
{
    if (!record.percentMode())
        return thresholdrule::byAllowance(count, record.allowedHigh, record.allowedLow);
    // The one-key setting truncates the difference first (1003 at 10 % gives 903 and 1103).
    const auto delta = static_cast<std::int64_t>(count * static_cast<double>(record.percentage) / 100.0);
    return {std::int64_t{count} - delta, std::int64_t{count} + delta};
}

std::string oneKeyRefusal(int row, int col, int channel, const thresholdrule::Thresholds& thresholds,
                          bool english)
{
    using texts::TextId;
    char board[128];
    std::snprintf(board, sizeof board, texts::text(TextId::OneKeyBoard, english), row, col);
    char detail[512];
    const auto low = static_cast<int>(thresholds.low);
    const auto high = static_cast<int>(thresholds.high);
    switch (thresholdrule::faultOf(thresholds)) {
    case thresholdrule::Fault::LowBelowZero:
        std::snprintf(detail, sizeof detail, texts::text(TextId::ThresholdLowBelowZero, english), channel,
                      low);
        break;
    case thresholdrule::Fault::HighAboveMax:
        std::snprintf(detail, sizeof detail, texts::text(TextId::ThresholdHighAboveMax, english), channel,
                      high);
        break;
    default:
        std::snprintf(detail, sizeof detail, texts::text(TextId::ThresholdLowAboveHigh, english), channel,
                      low, high);
        break;
    }
    return std::string(board) + detail;
}

bool BoardCommands::oneKeySetting()
{
    const std::optional<std::string> type = ctx_.ops.readDeviceType();
    if (!type || !isMultiBoardType(upperAscii(*type)))
        return false;

    const GlobalSettings global = ctx_.setup.global();
    const int rows = global.gridRows;
    const int cols = global.gridCols;
    // The parameters of the record read or edited last apply to every board.
    const BoardRecord record = ctx_.setup.workRecord();
    CUSBChannel& head = ctx_.channel;

    // Every board's counts are taken and every threshold checked before anything is written: a
    // threshold outside 0..65535 would wrap into a channel that always fails or always passes.
    std::vector<ChannelValues> counts(static_cast<std::size_t>(std::max(rows * cols, 0)));
    for (int k = 0; k < rows * cols; ++k) {
        const BoardTableEntry entry = ctx_.setup.boardTableEntry(k);
        if (entry.row() >= rows || entry.col() >= cols ||
            !display::BoardGrid::inStorage(entry.row(), entry.col()))
            continue;
        const display::BoardPanel& panel = ctx_.grid.panel(entry.row(), entry.col());
        ChannelValues& board = counts[static_cast<std::size_t>(k)];
        for (int i = 0; i < entry.channels(); ++i) {
            board[static_cast<std::size_t>(i)] = panel.rawOf(i);
            const thresholdrule::Thresholds thresholds =
                oneKeyThresholds(board[static_cast<std::size_t>(i)], record);
            if (thresholdrule::faultOf(thresholds) != thresholdrule::Fault::None) {
                ctx_.view.postMessage(StationMessage::make(
                    oneKeyRefusal(entry.row(), entry.col(), i, thresholds, global.englishUi()), std::nullopt,
                    MessageIcon::Warning));
                return false;
            }
        }
    }

    for (int k = 0; k < rows * cols; ++k) {
        if (ctx_.flags.stopping())
            return false;
        const BoardTableEntry entry = ctx_.setup.boardTableEntry(k);
        const std::uint8_t address = entry.boardIndex < global.expandBoardAddress.size()
                                         ? global.expandBoardAddress[entry.boardIndex]
                                         : 0;
        const std::uint8_t bits = entry.port < 8 ? static_cast<std::uint8_t>(1 << entry.port) : 0;
        const int n = entry.channels();
        const int col = entry.col();
        const int row = entry.row();
        {
            std::lock_guard composite(head.compositeLock);
            std::lock_guard transaction(head.transactionLock);
            head.SelectPort(address, bits);
        }
        if (row < rows && col < cols && display::BoardGrid::inStorage(row, col)) {
            display::BoardPanel& panel = ctx_.grid.panel(row, col);
            const auto first = [n](const ChannelValues& values) {
                return std::span(values.data(), static_cast<std::size_t>(n));
            };
            const ChannelValues& board = counts[static_cast<std::size_t>(k)];
            panel.SetReferences(first(board));
            ctx_.ops.writeBoardArray(k, BoardArray::Reference, board);

            ChannelValues high{};
            ChannelValues low{};
            for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
                // Checked above: both fit 16 bits.
                const thresholdrule::Thresholds thresholds = oneKeyThresholds(board[i], record);
                high[i] = static_cast<std::uint16_t>(thresholds.high);
                low[i] = static_cast<std::uint16_t>(thresholds.low);
            }
            panel.SetThresholdsHigh(first(high));
            ctx_.ops.writeBoardArray(k, BoardArray::ThresholdHigh, high);
            panel.SetThresholdsLow(first(low));
            ctx_.ops.writeBoardArray(k, BoardArray::ThresholdLow, low);
        }
        {
            std::lock_guard composite(head.compositeLock);
            std::lock_guard transaction(head.transactionLock);
            head.SelectPort(address, 0);
        }
    }
    return true;
}

} // namespace station
