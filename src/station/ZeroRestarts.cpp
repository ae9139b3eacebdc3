#include "ZeroRestarts.h"

namespace station {

ZeroRestarts::Action ZeroRestarts::zerosRead(int board)
{
    std::lock_guard lock(mutex_);
    int& restarts = restartsInARow_[board];
    if (restarts < kLimit) {
        ++restarts;
        return Action::Restart;
    }
    if (restarts == kLimit) {
        ++restarts;
        return Action::GiveUp;
    }
    return Action::Hold;
}

void ZeroRestarts::countsRead(int board)
{
    std::lock_guard lock(mutex_);
    restartsInARow_.erase(board);
}

} // namespace station
