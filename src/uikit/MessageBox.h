#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

// All message boxes of the station go through here, so tests can see and answer them without
// a modal loop (setHandler). Callable only on the GUI thread; workers marshal onto it first.
namespace uikit {

// The caption of the station's message boxes unless a caller gives another one.
inline const QString kAppCaption = QStringLiteral("StenvikPlusDlg");

struct MessageRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption; // shown as given; an empty caption stays empty
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageHandler = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

// Shows the message (or hands it to the installed handler) and returns the button chosen.
QMessageBox::StandardButton showMessage(const MessageRequest& request);

// Convenience: a message with the application caption unless caption is given.
QMessageBox::StandardButton message(QWidget* owner, const QString& text,
                                    QMessageBox::Icon icon = QMessageBox::NoIcon,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    std::optional<QString> caption = std::nullopt);

// Replaces the real message boxes (tests); an empty handler restores them. Returns the old one.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace uikit
