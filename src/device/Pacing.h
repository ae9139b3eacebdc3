#pragma once

#include <chrono>

// The fixed pauses the head needs between requests. A pause sleeps to an absolute deadline on
// the monotonic clock, so it never ends early and overshoots only by the wake-up latency; a
// thread that paces the head many times a second keeps its timer slack small, so the kernel does
// not add up to 50 µs to every wake-up.
namespace pacing {

// Returns at the deadline, never before it.
void sleepUntil(std::chrono::steady_clock::time_point deadline);

// Lets the calling thread's timers fire at most `slack` late (Linux timer slack; elsewhere a
// no-op). Lasts for the life of the thread.
void setTimerSlack(std::chrono::nanoseconds slack);

} // namespace pacing
