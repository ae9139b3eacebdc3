#pragma once

#include "device/CUSBChannel.h"
#include "device/CUSBHardWare.h"
#include "device/StorageMap.h"
#include "setup/GlobalSettings.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "sim/SimBus.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

// A simulated head with the demo setup, the station's device object opened on it and the setup
// model's operations, for the dialog tests. The 20 ms pauses are skipped: where they fall is the
// setup model's business, what reaches the head is the dialogs'.
struct HeadUnderTest {
    HeadUnderTest()
    {
        head = &bus.addHead();
        channel.setReplyTimeout(std::chrono::milliseconds(200));
        EXPECT_TRUE(channel.openTester(bus));
        ops.setPause([](std::chrono::milliseconds) {});
    }

    // The head's global settings, as stored.
    GlobalSettings headGlobal() const
    {
        const Payload block = head->block(storage::SETTINGS_BLOCK);
        return GlobalSettings::decode(std::span<const std::uint8_t, 64>(block));
    }
    // Changes the head's global settings behind the station's back.
    void changeHeadGlobal(const std::function<void(GlobalSettings&)>& change)
    {
        Payload block = head->block(storage::SETTINGS_BLOCK);
        GlobalSettings global = headGlobal();
        change(global);
        global.encodeInto(
            std::span<std::uint8_t, GlobalSettings::kSize>(block.data(), GlobalSettings::kSize));
        head->setBlock(storage::SETTINGS_BLOCK, block);
    }
    std::vector<std::uint8_t> headTable() const { return head->memory(0, storage::kBoardTableSize); }

    // Command codes of the requests the head received since the last clearReceived().
    std::vector<std::uint8_t> commands() const
    {
        std::vector<std::uint8_t> codes;
        for (const auto& r : head->received())
            if (r.report[1] == 0xAA && r.report[2] == 0x55)
                codes.push_back(r.report[3]);
        return codes;
    }
    bool headWasWritten() const
    {
        for (const std::uint8_t code : commands())
            if (code == CUSBHardWare::kWriteBlock || code == CUSBHardWare::kWriteMemory ||
                code == CUSBHardWare::kPatchBlock || code == CUSBHardWare::kRestart)
                return true;
        return false;
    }

    SimBus bus;
    SimHead* head = nullptr;
    CUSBChannel channel;
    TestSetup setup;
    HeadOperations ops{channel, setup};
};

// Runs `act` on the next modal dialog as soon as it is shown (for commands that exec() one).
inline void whenDialogOpens(const std::function<void(QDialog*)>& act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [timer, act, elapsed] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        } else if (elapsed->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no dialog opened";
        }
    });
    timer->start();
}
