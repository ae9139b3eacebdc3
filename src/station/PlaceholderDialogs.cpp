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

void runAboutDialog(QWidget* parent, const QString& brandCode, const QString& firmwareText)
{
    runModal(makeDialog(parent, QStringLiteral("About"),
                        QStringLiteral("Brand %1\nFirmware %2").arg(brandCode, firmwareText), false));
}

void runCertificateDialog(QWidget* parent)
{
    runModal(makeDialog(parent, QStringLiteral("Copyright"), QStringLiteral("StenvikPlusDlg"), true));
}

void runAppAboutDialog(QWidget* parent)
{
    runModal(makeDialog(
        parent, QString::fromUtf8("关于 StenvikPlusDlg"),
        QStringLiteral("StenvikPlusDlg %1\nTouch panel test station").arg(QApplication::applicationVersion()),
        false));
}

} // namespace station::placeholder
