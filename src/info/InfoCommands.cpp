#include "InfoCommands.h"

#include "CAboutDlg.h"
#include "CCopyrightDlg.h"
#include "CUserAboutDlg.h"
#include "device/CUSBChannel.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

void showDeviceInfo(QWidget* owner, HeadOperations& head)
{
    Payload identity{};
    QString brandCode;
    if (head.device().readIdentity(identity))
        brandCode = QString::fromLatin1(identityText(identity, storage::kIdentityBrandOffset)).toUpper();
    CUserAboutDlg dialog(head.device(), head.setup().global().englishUi(), brandCode, owner);
    dialog.exec();
}

void showCertificate(QWidget* owner)
{
    CCopyrightDlg dialog(owner);
    dialog.exec();
}

void showPlainAbout(QWidget* owner)
{
    CAboutDlg dialog(owner);
    dialog.exec();
}
