#include "BoardTable.h"

BoardTable BoardTable::decode(std::span<const std::uint8_t, kSize> bytes)
{
    BoardTable table;
    for (std::size_t k = 0; k < table.entries.size(); ++k) {
        const std::uint8_t* b = bytes.data() + k * BoardTableEntry::kSize;
        table.entries[k] = {b[0], b[1], b[2], b[3]};
    }
    return table;
}

BoardTable::Bytes BoardTable::encode() const
{
    Bytes bytes{};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        std::uint8_t* b = bytes.data() + k * BoardTableEntry::kSize;
        b[0] = entries[k].position;
        b[1] = entries[k].channelCount;
        b[2] = entries[k].boardIndex;
        b[3] = entries[k].port;
    }
    return bytes;
}
