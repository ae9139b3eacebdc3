#include "MessageBox.h"

namespace uikit {
namespace {
MessageHandler& currentHandler()
{
    static MessageHandler handler;
    return handler;
}
} // namespace

QMessageBox::StandardButton showMessage(const MessageRequest& request)
{
    if (const MessageHandler& handler = currentHandler())
        return handler(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton message(QWidget* owner, const QString& text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons, std::optional<QString> caption)
{
    return showMessage({owner, text, caption.value_or(kAppCaption), icon, buttons});
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    MessageHandler old = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return old;
}

} // namespace uikit
