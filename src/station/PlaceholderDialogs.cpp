#include "PlaceholderDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace station::placeholder {
namespace {

QDialog* makeDialog(QWidget* parent, const QString& title, const QString& body, bool withCancel)
{
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(body, dialog));
    auto* buttons = new QDialogButtonBox(
        withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog;
}

bool runModal(QDialog* dialog)
{
    const bool accepted = dialog->exec() == QDialog::Accepted;
    delete dialog;
    return accepted;
}

} // namespace

bool runSettingDialog(QWidget* parent, int row, int col, const QString& deviceType)
{
    return runModal(
        makeDialog(parent, QStringLiteral("Setting"),
                   QStringLiteral("Board row %1, column %2 (%3)").arg(row).arg(col).arg(deviceType), true));
}

bool runColorDialog(QWidget* parent)
{
    return runModal(makeDialog(parent, QStringLiteral("Color"), QStringLiteral("Bar colours"), true));
}

QString expansionTitle(bool english)
{
    return english ? QStringLiteral("Expand board setting") : QString::fromUtf8("扩展板参数设定");
}

bool runExpansionDialog(QWidget* parent, bool english)
{
    return runModal(makeDialog(parent, expansionTitle(english), QStringLiteral("Expansion boards"), true));
}

void runAboutDialog(QWidget* parent, const QString& brandCode, const QString& firmwareText)
{
    runModal(makeDialog(parent, QStringLiteral("About"),
                        QStringLiteral("Brand %1\nFirmware %2").arg(brandCode, firmwareText), false));
}

void runCertificateDialog(QWidget* parent)
{
    runModal(makeDialog(parent, QStringLiteral("Copyright"), QStringLiteral("StenvikPlusDlg"), true));
}

void openCameraWindow(QWidget* parent)
{
    QDialog* window = makeDialog(parent, QStringLiteral("Camera"), QStringLiteral("No camera"), false);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModal(false);
    window->show();
}

void runAppAboutDialog(QWidget* parent)
{
    runModal(makeDialog(
        parent, QString::fromUtf8("关于 StenvikPlusDlg"),
        QStringLiteral("StenvikPlusDlg %1\nTouch panel test station").arg(QApplication::applicationVersion()),
        false));
}

} // namespace station::placeholder
