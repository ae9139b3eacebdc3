#include "Pacing.h"

#include <algorithm>
#include <thread>

#ifdef __linux__
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>
#endif

namespace pacing {

void sleepUntil(std::chrono::steady_clock::time_point deadline)
{
#ifdef __linux__
    // steady_clock is CLOCK_MONOTONIC here: sleep to the absolute time, resuming after signals.
    const auto since = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec at{};
    at.tv_sec = static_cast<time_t>(seconds.count());
    at.tv_nsec =
        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
#else
    std::this_thread::sleep_until(deadline);
#endif
}

void setTimerSlack(std::chrono::nanoseconds slack)
{
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(std::max<long long>(slack.count(), 1)), 0, 0, 0);
#else
    (void)slack;
#endif
}

} // namespace pacing
