#include "HeadState.h"

namespace {

void putWord(FirmwareInfo& info, int offset, std::uint16_t value)
{
    info.bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    info.bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

FirmwareInfo HeadState::defaultFirmware()
{
    FirmwareInfo info;
    info.bytes[0] = 0x00; // hardware kind, no bug-fix releases
    putWord(info, 1, 0x0110);
    putWord(info, 3, 2016);
    info.bytes[5] = 5;
    info.bytes[6] = 18;
    putWord(info, 7, 0x0102);
    return info;
}

const HeadState::ExpansionBoard* HeadState::selectedBoard() const
{
    if (!selection)
        return nullptr;
    for (const auto& board : expansionBoards) {
        if (board && board->address == selection->address)
            return &*board;
    }
    return nullptr;
}

PanelModel* HeadState::selectedPanel()
{
    if (selectedBoard() == nullptr)
        return nullptr;
    const auto panel = panels.find({selection->address, selection->port});
    return panel == panels.end() ? nullptr : &panel->second;
}

PanelModel& HeadState::panelAt(std::uint8_t address, int port)
{
    return panels[{address, port}];
}
