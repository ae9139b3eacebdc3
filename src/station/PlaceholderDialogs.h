#pragma once

#include <QDialog>
#include <QString>

class QWidget;

// Stand-ins for the dialogs that come with their own layer (About and the certificate picture).
// Each is a small dialog with its title and OK, so the commands that open them work end to end;
// the window opens them through these functions only, so each can be swapped in one place.
namespace station::placeholder {

// Modal.
void runAboutDialog(QWidget* parent, const QString& brandCode, const QString& firmwareText);
void runCertificateDialog(QWidget* parent);
// The About box of the system menu (dialog resource 100).
void runAppAboutDialog(QWidget* parent);

} // namespace station::placeholder
