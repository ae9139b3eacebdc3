#include "CAboutDlg.h"

#include "InfoPictures.h"
#include "uikit/ControlId.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(info::productCaption());
    auto* icon = new QLabel(this);
    icon->setPixmap(info::applicationIcon().pixmap(32, 32));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    uikit::setControlId(ok, IdOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(info::productCaption(), this), 0, 1);
    layout->addWidget(new QLabel(info::secondHeaderLine(), this), 1, 1);
    layout->addWidget(ok, 0, 2);
}
