#pragma once

#include "PanelModel.h"
#include "device/FirmwareInfo.h"
#include "device/Report.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Everything the simulated head keeps, as plain data. SimHead guards it with its mutex; the
// command handling and the demo setup work on it directly.
struct HeadState {
    static constexpr int kMemorySize = 0x10000;
    static constexpr int kExpansionBoards = 8;
    static constexpr int kPortsPerBoard = 8;
    static constexpr int kLcdWidth = 16;

    struct ExpansionBoard {
        std::uint8_t address = 0;
        std::uint16_t firmwareVersion = 0;
    };
    // The port chosen with SelectPort; none after a release.
    struct Selection {
        std::uint8_t address = 0;
        int port = 0;
    };

    // Configuration blocks by number (the station uses 249 and 254).
    std::array<Payload, 256> blocks{};
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(kMemorySize, 0);
    Payload control{};
    std::array<std::string, 2> lcd;
    FirmwareInfo firmware = defaultFirmware();

    std::array<std::optional<ExpansionBoard>, kExpansionBoards> expansionBoards;
    std::map<std::pair<std::uint8_t, int>, PanelModel> panels; // by (board address, port)
    std::optional<Selection> selection;
    // The two bytes of the last BusWrite: they choose what the next BusRead answers.
    std::array<std::uint8_t, 2> busRequest{};

    bool zeroCounts = false;

    // Hardware kind, version 0x0110 (1.1.0), built 2016-05-18, bootloader 0x0102.
    static FirmwareInfo defaultFirmware();

    // The board at the selected address, if there is one.
    const ExpansionBoard* selectedBoard() const;
    // The panel on the selected port, created empty when a test puts a defect on a bare port.
    PanelModel* selectedPanel();
    PanelModel& panelAt(std::uint8_t address, int port);
};
