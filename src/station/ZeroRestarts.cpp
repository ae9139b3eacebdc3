#include "ZeroRestarts.h"

namespace station {

ZeroRestarts::Action ZeroRestarts::zerosRead(int board)
{
    if (board < 0 || board >= kBoards)
        return Action::Hold;
    std::atomic<int>& restarts = restartsInARow_[static_cast<std::size_t>(board)];
    const int before = restarts.load(std::memory_order_relaxed);
    if (before > kLimit)
        return Action::Hold;
    restarts.store(before + 1, std::memory_order_relaxed);
    return before < kLimit ? Action::Restart : Action::GiveUp;
}

void ZeroRestarts::countsRead(int board)
{
    if (board >= 0 && board < kBoards)
        restartsInARow_[static_cast<std::size_t>(board)].store(0, std::memory_order_relaxed);
}

} // namespace station
