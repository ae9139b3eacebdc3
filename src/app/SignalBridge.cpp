#include "SignalBridge.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int fds[2] = {-1, -1};
}

SignalBridge::SignalBridge(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return;
    notifier_ = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(fds[1], &byte, 1) == 1)
            emit terminationRequested();
    });
    struct sigaction action = {};
    action.sa_handler = &SignalBridge::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

SignalBridge::~SignalBridge()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

void SignalBridge::handle(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(fds[0], &byte, 1);
}

void closeOnTermination(const SignalBridge& bridge, QWidget& window)
{
    QObject::connect(&bridge, &SignalBridge::terminationRequested, &window, [&window] {
        // A modal dialog waiting for the operator runs its own event loop, and one without a
        // parent is not hidden with the window: the program would go on until someone answered
        // it. Dismiss every one (innermost first), then close the window once their loops have
        // returned, so the close sequence runs from the program's own loop.
        for (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr;) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            if (QApplication::activeModalWidget() == modal)
                modal->hide(); // refused to close
            QWidget* next = QApplication::activeModalWidget();
            modal = next != modal ? next : nullptr; // never spin on one that stays
        }
        QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
    });
}
