#include "CCopyrightDlg.h"

#include "InfoPictures.h"
#include "uikit/ControlId.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CCopyrightDlg::CCopyrightDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(info::productCaption());
    setAutoFillBackground(true);
    QPalette tiled = palette();
    tiled.setBrush(QPalette::Window, QBrush(info::backgroundTile()));
    setPalette(tiled);

    auto* picture = new QLabel(this);
    uikit::setControlId(picture, IdPicture);
    picture->setPixmap(info::certificatePicture());
    picture->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    uikit::setControlId(ok, IdOk);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    uikit::setControlId(cancel, IdCancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* whole = new QVBoxLayout(this);
    whole->addWidget(picture);
    whole->addLayout(buttons);
}
