#include "uikit/ParentlessWindows.h"

#include <algorithm>

namespace uikit {

ParentlessWindows::~ParentlessWindows()
{
    // Closed windows wait for the event loop to delete them; after the loop has ended nobody
    // would, so the ones still alive go here.
    for (const QPointer<QWidget>& window : windows_)
        delete window.data();
}

void ParentlessWindows::open(QWidget* window)
{
    if (window == nullptr)
        return;
    forgetClosed();
    window->setAttribute(Qt::WA_DeleteOnClose);
    windows_.emplace_back(window);
    window->show();
}

void ParentlessWindows::closeAll()
{
    forgetClosed();
    for (const QPointer<QWidget>& window : windows_) {
        if (window.isNull())
            continue; // deleted by the close of an earlier one
        window->close();
        if (!window.isNull() && window->isVisible())
            window->hide();
    }
}

std::vector<QWidget*> ParentlessWindows::openWindows() const
{
    std::vector<QWidget*> open;
    for (const QPointer<QWidget>& window : windows_)
        if (!window.isNull() && window->isVisible())
            open.push_back(window.data());
    return open;
}

void ParentlessWindows::forgetClosed()
{
    std::erase_if(windows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
}

} // namespace uikit
