#pragma once

#include "display/CycleResult.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace station {

// Who wants every cycle's verdict: the acquisition loop publishes each CycleResult right after
// judging it, on its own thread, before it signals the head. Observers must be quick and copy
// what they keep (the result lives only during the call); they must not subscribe or
// unsubscribe from inside the call. Thread-safe.
class CycleObservers {
public:
    using Observer = std::function<void(const display::CycleResult&)>;
    using Token = std::uint64_t;

    // Returns the token that unsubscribes it.
    Token subscribe(Observer observer);
    // Once it returns, the observer is not running and is never called again.
    void unsubscribe(Token token);

    void publish(const display::CycleResult& result) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<Token, Observer>> observers_;
    Token next_ = 1;
};

} // namespace station
