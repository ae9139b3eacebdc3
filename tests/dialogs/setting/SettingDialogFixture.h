#pragma once

#include "device/CUSBChannel.h"
#include "device/StorageMap.h"
#include "dialogs/setting/CSettingDlg.h"
#include "dialogs/setting/SettingIds.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "sim/SimBus.h"
#include "support/MessageRecorder.h"
#include "uikit/ControlId.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A simulated multi-board head with a 2 x 2 grid of four-channel boards, the station's setup
// read from it, the main grid's data and a message recorder. Helpers read and write the head's
// memory directly, so tests state what the head holds and check what reached it byte by byte.
class SettingDialogTest : public ::testing::Test {
protected:
    static constexpr int kChannels = 4;

    SettingDialogTest()
    {
        head = &bus.addHead();
        head->loadDemoSetup(2, 2, kChannels);
        channel.setReplyTimeout(std::chrono::milliseconds(200));
        EXPECT_TRUE(channel.openTester(bus));
        ops.setPause([](std::chrono::milliseconds) {}); // where the pauses fall is the setup model's test
        EXPECT_TRUE(ops.readGlobalSettings());
        EXPECT_TRUE(ops.readBoardTable());
    }

    std::unique_ptr<CSettingDlg> openDialog(int row = 0, int col = 0, const std::string& type = "TRIVELLAV2")
    {
        return std::make_unique<CSettingDlg>(ops, grid, type, row, col);
    }

    template <typename T = QWidget> T* control(CSettingDlg& dialog, int id)
    {
        T* found = uikit::findControl<T>(&dialog, id);
        EXPECT_NE(found, nullptr) << "control " << id;
        return found;
    }
    void click(CSettingDlg& dialog, int id) { control<QAbstractButton>(dialog, id)->click(); }
    void type(CSettingDlg& dialog, int id, const QString& text)
    {
        control<QLineEdit>(dialog, id)->setText(text);
    }

    static std::uint16_t arrayAddress(int k, BoardArray which)
    {
        switch (which) {
        case BoardArray::Reference:
            return storage::referenceAddress(k);
        case BoardArray::ThresholdHigh:
            return storage::thresholdHighAddress(k);
        case BoardArray::ThresholdLow:
            return storage::thresholdLowAddress(k);
        case BoardArray::Mask:
            return storage::maskAddress(k);
        case BoardArray::Order:
            return storage::orderAddress(k);
        }
        return 0;
    }
    static bool wordArray(BoardArray which)
    {
        return which != BoardArray::Mask && which != BoardArray::Order;
    }

    // The whole 64-entry array as the head holds it.
    std::vector<int> headArray(int k, BoardArray which) const
    {
        const bool words = wordArray(which);
        const std::vector<std::uint8_t> bytes = head->memory(arrayAddress(k, which), words ? 128 : 64);
        std::vector<int> values(64);
        for (std::size_t i = 0; i < 64; ++i)
            values[i] = words ? bytes[2 * i] | (bytes[2 * i + 1] << 8) : bytes[i];
        return values;
    }
    void setHeadArray(int k, BoardArray which, const std::vector<int>& values)
    {
        const bool words = wordArray(which);
        std::vector<std::uint8_t> bytes = head->memory(arrayAddress(k, which), words ? 128 : 64);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (words) {
                bytes[2 * i] = static_cast<std::uint8_t>(values[i] & 0xFF);
                bytes[2 * i + 1] = static_cast<std::uint8_t>((values[i] >> 8) & 0xFF);
            } else {
                bytes[i] = static_cast<std::uint8_t>(values[i]);
            }
        }
        head->setMemory(arrayAddress(k, which), bytes.data(), static_cast<int>(bytes.size()));
    }
    BoardRecord headRecord(int k) const
    {
        const std::vector<std::uint8_t> bytes =
            head->memory(storage::boardRecordAddress(k), BoardRecord::kSize);
        return BoardRecord::decode(
            std::span<const std::uint8_t, BoardRecord::kSize>(bytes.data(), BoardRecord::kSize));
    }
    void setHeadRecord(int k, const BoardRecord& record)
    {
        const BoardRecord::Bytes bytes = record.encode();
        head->setMemory(storage::boardRecordAddress(k), bytes.data(), BoardRecord::kSize);
    }
    // Everything the station keeps of a board on the head: table, arrays and record.
    std::vector<std::uint8_t> headSetup() const
    {
        return head->memory(0, 256 + 4 * storage::kBoardRegionSize);
    }

    // Memory addresses of the WriteMemory commands the head received since the last clear, in order.
    std::vector<int> writtenAddresses() const
    {
        std::vector<int> addresses;
        const std::vector<SimHead::Received> received = head->received();
        for (std::size_t i = 0; i + 1 < received.size(); ++i) {
            const Report& r = received[i].report;
            if (r[1] == 0xAA && r[2] == 0x55 && r[3] == 0x22) {
                const Report& params = received[i + 1].report;
                addresses.push_back(params[1] << 8 | params[2]);
            }
        }
        return addresses;
    }

    void setGlobal(const std::function<void(GlobalSettings&)>& change)
    {
        GlobalSettings global = setup.global();
        change(global);
        setup.setGlobal(global);
    }

    SimBus bus;
    SimHead* head = nullptr;
    CUSBChannel channel;
    TestSetup setup;
    HeadOperations ops{channel, setup};
    display::BoardGrid grid{setup.grid()};
    MessageRecorder messages;
};
