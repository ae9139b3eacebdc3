#include "BoardRecord.h"

#include "LittleEndian.h"

#include <algorithm>
#include <bit>

BoardRecord BoardRecord::decode(std::span<const std::uint8_t, kSize> bytes)
{
    const std::uint8_t* b = bytes.data();
    BoardRecord r;
    r.boardFlags = b[0];
    std::copy_n(b + 1, 3, r.reserved1.begin());
    r.viewRangeMax = le::get16(b + 4);
    r.viewRangeMin = le::get16(b + 6);
    r.percentage = le::get16(b + 8);
    r.allowedHigh = le::get16(b + 10);
    r.allowedLow = le::get16(b + 12);
    r.pearsonThreshold = std::bit_cast<double>(le::get64(b + 14));
    r.userGain = b[22];
    r.current = b[23];
    r.dischargeTime = b[24];
    r.delayTime = b[25];
    return r;
}

BoardRecord::Bytes BoardRecord::encode() const
{
    Bytes bytes{};
    std::uint8_t* b = bytes.data();
    b[0] = boardFlags;
    std::copy_n(reserved1.begin(), 3, b + 1);
    le::put16(b + 4, viewRangeMax);
    le::put16(b + 6, viewRangeMin);
    le::put16(b + 8, percentage);
    le::put16(b + 10, allowedHigh);
    le::put16(b + 12, allowedLow);
    le::put64(b + 14, std::bit_cast<std::uint64_t>(pearsonThreshold));
    b[22] = userGain;
    b[23] = current;
    b[24] = dischargeTime;
    b[25] = delayTime;
    return bytes;
}
