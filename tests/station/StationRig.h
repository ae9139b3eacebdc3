#pragma once

#include "FakeView.h"
#include "device/CUSBChannel.h"
#include "device/StorageMap.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "sim/SimBus.h"
#include "station/BoardCommands.h"
#include "station/MenuCommands.h"
#include "station/Station.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

// The station's logic against a simulated head, with the test thread as its GUI thread.
struct StationRig {
    static constexpr const char* kHeadPath = "/dev/hidraw-sim0";

    SimBus bus;
    SimHead* head = nullptr;
    CUSBChannel channel;
    TestSetup setup;
    HeadOperations ops{channel, setup};
    display::BoardGrid grid{setup.grid()};
    FakeView view;
    station::StationFlags flags;
    station::StationContext ctx{channel, bus, setup, ops, grid, view, flags, {}};
    station::Station station{ctx};
    station::BoardCommands commands{ctx};
    station::MenuCommands menu{ctx, station};
    GuiLoop gui;

    explicit StationRig(bool withHead = true, int rows = 2, int cols = 2, int channels = 40)
    {
        if (withHead)
            addHead(rows, cols, channels);
        bus.setListener([this](SimBus::Event event, const std::string& path) {
            gui.post([this, event, path] {
                if (event == SimBus::Event::Arrival)
                    station.onArrival(path);
                else
                    station.onRemoval(path);
            });
        });
    }

    ~StationRig()
    {
        bus.setListener({});
        flags.stop();
        commands.joinWorkers();
        station.close();
    }

    SimHead& addHead(int rows = 2, int cols = 2, int channels = 40)
    {
        head = &bus.addHead(kHeadPath);
        head->loadDemoSetup(rows, cols, channels);
        return *head;
    }

    template <typename Pred> bool pump(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        return gui.pumpUntil(
            pred, view, [this] { station.disconnectTimerFired(); }, limit);
    }
    // Lets the GUI loop run for a while.
    void idle(std::chrono::milliseconds duration)
    {
        pump([] { return false; }, duration);
    }

    // Reports the head received with the given command code in byte 3 (after the AA 55 header).
    int countCommand(std::uint8_t code) const { return static_cast<int>(commands_of(code).size()); }
    std::vector<SimHead::Received> commands_of(std::uint8_t code) const
    {
        std::vector<SimHead::Received> found;
        for (const auto& r : head->received())
            if (r.report[1] == 0xAA && r.report[2] == 0x55 && r.report[3] == code)
                found.push_back(r);
        return found;
    }

    // Connects at start and waits until the acquisition loop has read the boards.
    bool startRunning()
    {
        station.initialise();
        return pump([this] { return station.loopRunning() && countCommand(0x30) >= 2; });
    }

    // Stops the loop (as at a removal, without one) and waits for it to end.
    bool stopLoop()
    {
        flags.run = false;
        return pump([this] { return !station.loopRunning(); });
    }

    // Identity block helpers.
    void setDeviceType(const std::string& type)
    {
        Payload block = head->block(storage::IDENTITY_BLOCK);
        std::fill(block.begin() + storage::kIdentityDeviceTypeOffset, block.end(), 0);
        std::copy(type.begin(), type.end(), block.begin() + storage::kIdentityDeviceTypeOffset);
        head->setBlock(storage::IDENTITY_BLOCK, block);
    }
    void setGlobalByte(int offset, std::uint8_t value)
    {
        Payload block = head->block(storage::SETTINGS_BLOCK);
        block[static_cast<std::size_t>(offset)] = value;
        head->setBlock(storage::SETTINGS_BLOCK, block);
    }
};

// The control blocks the head was given with WriteControl, in order.
inline std::vector<Payload> controlWrites(const SimHead& head)
{
    std::vector<Payload> writes;
    const auto received = head.received();
    for (std::size_t i = 0; i + 1 < received.size(); ++i) {
        const Report& r = received[i].report;
        if (r[1] == 0xAA && r[2] == 0x55 && r[3] == 0x25) {
            Payload data{};
            std::copy(received[i + 1].report.begin() + 1, received[i + 1].report.end(), data.begin());
            writes.push_back(data);
        }
    }
    return writes;
}

// The second LCD lines sent with ShowText, in order.
inline std::vector<std::string> shownTexts(const SimHead& head)
{
    std::vector<std::string> texts;
    for (const auto& r : head.received())
        if (r.report[1] == 0xAA && r.report[2] == 0x55 && r.report[3] == 0xB0) {
            std::string text(r.report.begin() + 26, r.report.begin() + 42);
            texts.push_back(text.substr(0, text.find('\0')));
        }
    return texts;
}
