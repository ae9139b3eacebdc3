#include "ExpansionDialogLink.h"

#include "CExpandDlg.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

// Lives on the GUI thread: the dialog pointer is read and written there only.
class ExpansionRelay : public QObject {
    Q_OBJECT
public:
    QPointer<CExpandDlg> dialog;

    Q_INVOKABLE int deliver(long wParam, long lParam)
    {
        return dialog != nullptr ? dialog->onRefreshMessage(wParam, lParam) : 0;
    }
};

struct ExpansionDialogLink::Relay : ExpansionRelay {};

ExpansionDialogLink::ExpansionDialogLink() : relay_(std::make_unique<Relay>()) {}

ExpansionDialogLink::~ExpansionDialogLink() = default;

void ExpansionDialogLink::attach(CExpandDlg* dialog)
{
    relay_->dialog = dialog;
    open_.store(true, std::memory_order_release);
}

void ExpansionDialogLink::detach(CExpandDlg* dialog)
{
    if (relay_->dialog == dialog || relay_->dialog == nullptr) {
        relay_->dialog = nullptr;
        open_.store(false, std::memory_order_release);
    }
}

int ExpansionDialogLink::refresh(long wParam, long lParam)
{
    if (!dialogOpen())
        return 0;
    if (QThread::currentThread() == relay_->thread())
        return relay_->deliver(wParam, lParam);
    // Board loading's thread waits here until the GUI thread has reloaded the dialog.
    int result = 0;
    QMetaObject::invokeMethod(relay_.get(), "deliver", Qt::BlockingQueuedConnection,
                              Q_RETURN_ARG(int, result), Q_ARG(long, wParam), Q_ARG(long, lParam));
    return result;
}

#include "ExpansionDialogLink.moc"
