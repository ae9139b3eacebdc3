#include "SerialEntry.h"

#include <algorithm>
#include <utility>

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7f;
}

std::string trimmed(const std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

} // namespace

SerialEntry::SerialEntry(std::vector<int> boards) : boards_(std::move(boards)) {}

SerialEntry::Outcome SerialEntry::add(const std::string& serial)
{
    const auto text = trimmed(serial);
    if (text.empty())
        return Outcome::Empty;
    const int board = nextBoard();
    if (board < 0)
        return Outcome::Complete;
    for (const auto& [index, given] : serials_)
        if (given == text)
            return Outcome::Duplicate;
    serials_[board] = text;
    return nextBoard() < 0 ? Outcome::Complete : Outcome::Accepted;
}

int SerialEntry::nextBoard() const
{
    for (const int board : boards_)
        if (!serials_.contains(board))
            return board;
    return -1;
}

int SerialEntry::remaining() const
{
    return static_cast<int>(boards_.size() - serials_.size());
}

void SerialEntry::clear()
{
    serials_.clear();
}
