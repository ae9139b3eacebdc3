#include "CycleObservers.h"

#include <algorithm>

namespace station {

CycleObservers::Token CycleObservers::subscribe(Observer observer)
{
    std::lock_guard lock(mutex_);
    const Token token = next_++;
    observers_.emplace_back(token, std::move(observer));
    return token;
}

void CycleObservers::unsubscribe(Token token)
{
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [token](const auto& entry) { return entry.first == token; });
}

void CycleObservers::publish(const display::CycleResult& result) const
{
    // Held during the calls, so that unsubscribe waits for a call in progress.
    std::lock_guard lock(mutex_);
    for (const auto& [token, observer] : observers_)
        if (observer)
            observer(result);
}

} // namespace station
