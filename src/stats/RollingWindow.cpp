#include "stats/RollingWindow.h"

#include <algorithm>

namespace stats {
namespace {

std::size_t limited(std::size_t n)
{
    return std::clamp<std::size_t>(n, 1, RollingWindow::kMaxWindow);
}

} // namespace

RollingWindow::RollingWindow(std::size_t window, std::size_t history)
    : ring_(std::max(limited(window), limited(history))), window_(limited(window))
{
}

void RollingWindow::push(std::uint16_t count)
{
    if (pushed_ >= window_) {
        // The count leaving the window; with history == window it sits where the new one goes.
        sums_.remove(back(window_ - 1));
    }
    ring_[next_] = count;
    next_ = next_ + 1 == ring_.size() ? 0 : next_ + 1;
    ++pushed_;
    sums_.add(count);
}

void RollingWindow::clear()
{
    next_ = 0;
    pushed_ = 0;
    sums_.clear();
}

void RollingWindow::setWindow(std::size_t window)
{
    window_ = std::min(limited(window), ring_.size());
    resum();
}

std::uint16_t RollingWindow::last() const
{
    return pushed_ == 0 ? std::uint16_t{0} : back(0);
}

ChannelStatistics RollingWindow::statistics() const
{
    ChannelStatistics result;
    const std::size_t n = inWindow();
    if (n == 0)
        return result;
    result.samples = static_cast<std::uint32_t>(n);
    result.min = result.max = back(0);
    for (std::size_t age = 1; age < n; ++age) {
        const std::uint16_t count = back(age);
        result.min = std::min(result.min, count);
        result.max = std::max(result.max, count);
    }
    result.mean = sums_.mean();
    result.stddev = sums_.stddev();
    return result;
}

std::size_t RollingWindow::recent(std::span<std::uint16_t> out) const
{
    const std::size_t n = std::min(out.size(), held());
    for (std::size_t i = 0; i < n; ++i)
        out[i] = back(n - 1 - i);
    return n;
}

std::size_t RollingWindow::held() const
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(pushed_, ring_.size()));
}

std::size_t RollingWindow::inWindow() const
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(pushed_, window_));
}

std::uint16_t RollingWindow::back(std::size_t age) const
{
    const std::size_t size = ring_.size();
    return ring_[(next_ + size - 1 - age) % size];
}

void RollingWindow::resum()
{
    sums_.clear();
    const std::size_t n = inWindow();
    for (std::size_t age = 0; age < n; ++age)
        sums_.add(back(age));
}

} // namespace stats
