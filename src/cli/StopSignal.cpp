#include "StopSignal.h"

#include <atomic>
#include <csignal>

namespace cli {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

struct sigaction previousInt;
struct sigaction previousTerm;

extern "C" void onStopSignal(int /*signal*/)
{
    stopRequested.store(true);
}

} // namespace

StopSignal::StopSignal()
{
    stopRequested = false;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

StopSignal::~StopSignal()
{
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool StopSignal::raised()
{
    return stopRequested.load();
}

} // namespace cli
