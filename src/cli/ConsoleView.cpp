#include "ConsoleView.h"

namespace cli {

void ConsoleView::report(const std::string& text)
{
    std::lock_guard lock(mutex_);
    std::fprintf(errors_, "%s\n", text.c_str());
    std::fflush(errors_);
}

std::optional<int> ConsoleView::endRequested() const
{
    std::lock_guard lock(mutex_);
    return endCode_;
}

std::string ConsoleView::caption() const
{
    std::lock_guard lock(mutex_);
    return caption_;
}

void ConsoleView::setCaption(const std::string& text)
{
    std::lock_guard lock(mutex_);
    caption_ = text;
}

void ConsoleView::endProcess(int exitCode)
{
    std::lock_guard lock(mutex_);
    endCode_ = exitCode;
}

} // namespace cli
