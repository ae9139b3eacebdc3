#pragma once

#include <QDialog>
#include <QString>

class QWidget;

// Stand-ins for the dialogs that come with their own layers (settings, colours, expansion
// boards, About, certificate, camera). Each is a small dialog with its title and OK/Cancel, so the
// commands that open them work end to end; the window opens them through these functions only,
// so each can be swapped for the real dialog in one place.
namespace station::placeholder {

// Modal: true when accepted.
bool runSettingDialog(QWidget* parent, int row, int col, const QString& deviceType);
bool runColorDialog(QWidget* parent);
bool runExpansionDialog(QWidget* parent, bool english);
void runAboutDialog(QWidget* parent, const QString& brandCode, const QString& firmwareText);
void runCertificateDialog(QWidget* parent);
// Modeless, lives until the program ends.
void openCameraWindow(QWidget* parent);

// The About box of the system menu (dialog resource 100).
void runAppAboutDialog(QWidget* parent);

// Title of the expansion board dialog in each language.
QString expansionTitle(bool english);

} // namespace station::placeholder
