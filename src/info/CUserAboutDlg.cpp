#include "CUserAboutDlg.h"

#include "FirmwareText.h"
#include "InfoPictures.h"
#include "ReleaseHistory.h"
#include "device/CUSBChannel.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"
#include "uikit/DialogBackground.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <mutex>

namespace {

QLineEdit* makeField(QWidget* parent, int id)
{
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    uikit::setControlId(field, id);
    return field;
}

} // namespace

CUserAboutDlg::CUserAboutDlg(CUSBChannel& device, bool englishUi, const QString& brandCode, QWidget* parent)
    : QDialog(parent), device_(device)
{
    setWindowTitle(info::productCaption(englishUi));
    buildControls(englishUi);

    setAutoFillBackground(true);
    QPalette tiled = palette();
    tiled.setBrush(QPalette::Window, QBrush(uikit::dialogBackgroundTile()));
    setPalette(tiled);

    {
        // Kept only when the head answered; otherwise the fields show the last head's record.
        std::lock_guard lock(device_.compositeLock);
        FirmwareInfo firmware;
        if (device_.ReadFirmwareInfo(firmware))
            device_.setFirmwareInfo(firmware);
    }
    showFirmware(englishUi);
    stationVersion_->setText(info::stationVersionText());
    fillHistory();
    showLogo(brandCode);
}

void CUserAboutDlg::buildControls(bool englishUi)
{
    const auto say = [englishUi](texts::TextId id) { return texts::qtext(id, englishUi); };
    auto* icon = new QLabel(this);
    icon->setPixmap(info::applicationIcon().pixmap(32, 32));
    auto* caption = new QLabel(windowTitle(), this);
    auto* secondLine = new QLabel(info::secondHeaderLine(), this);
    auto* header = new QGridLayout;
    header->addWidget(icon, 0, 0, 2, 1);
    header->addWidget(caption, 0, 1);
    header->addWidget(secondLine, 1, 1);
    header->setColumnStretch(1, 1);

    auto* firmwareGroup = new QGroupBox(say(texts::TextId::AboutFirmwareGroup), this);
    auto* firmwareGrid = new QGridLayout(firmwareGroup);
    type_ = makeField(firmwareGroup, IdFirmwareType);
    version_ = makeField(firmwareGroup, IdFirmwareVersion);
    date_ = makeField(firmwareGroup, IdBuildDate);
    bootloader_ = makeField(firmwareGroup, IdBootloader);
    firmwareGrid->addWidget(new QLabel(say(texts::TextId::AboutType), firmwareGroup), 0, 0);
    firmwareGrid->addWidget(type_, 0, 1);
    firmwareGrid->addWidget(new QLabel(say(texts::TextId::AboutVersion), firmwareGroup), 1, 0);
    firmwareGrid->addWidget(version_, 1, 1);
    firmwareGrid->addWidget(new QLabel(say(texts::TextId::AboutTime), firmwareGroup), 2, 0);
    firmwareGrid->addWidget(date_, 2, 1);
    firmwareGrid->addWidget(new QLabel(QStringLiteral("Bootloader"), firmwareGroup), 3, 0);
    firmwareGrid->addWidget(bootloader_, 3, 1);

    auto* softwareGroup = new QGroupBox(say(texts::TextId::AboutSoftwareGroup), this);
    auto* softwareLine = new QHBoxLayout(softwareGroup);
    stationVersion_ = makeField(softwareGroup, IdStationVersion);
    softwareLine->addWidget(new QLabel(say(texts::TextId::AboutVersionNumber), softwareGroup));
    softwareLine->addWidget(stationVersion_);

    auto* logoGroup = new QGroupBox(QStringLiteral("LOGO"), this);
    auto* logoLayout = new QVBoxLayout(logoGroup);
    logo_ = new QLabel(logoGroup);
    uikit::setControlId(logo_, IdLogo);
    logo_->setAlignment(Qt::AlignCenter);
    logoLayout->addWidget(logo_);

    history_ = new QTableWidget(this);
    uikit::setControlId(history_, IdHistory);
    history_->setSelectionBehavior(QAbstractItemView::SelectRows);
    history_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    history_->setShowGrid(true);
    history_->verticalHeader()->setVisible(false);
    history_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    history_->setMinimumHeight(180);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    uikit::setControlId(ok, IdOk);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    uikit::setControlId(cancel, IdCancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* infoLine = new QHBoxLayout;
    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(firmwareGroup);
    leftColumn->addWidget(softwareGroup);
    infoLine->addLayout(leftColumn, 1);
    infoLine->addWidget(logoGroup);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(header);
    whole->addLayout(infoLine);
    whole->addWidget(history_, 1);
    whole->addLayout(buttons);
    resize(780, 560);
}

void CUserAboutDlg::showFirmware(bool englishUi)
{
    const FirmwareInfo firmware = device_.firmwareInfo();
    type_->setText(info::firmwareTypeText(firmware, englishUi));
    version_->setText(info::fourDigitVersion(firmware.version()));
    date_->setText(info::buildDateText(firmware, englishUi));
    bootloader_->setText(info::fourDigitVersion(firmware.bootloaderVersion()));
}

void CUserAboutDlg::fillHistory()
{
    const QStringList headings{QStringLiteral("Num"),
                               QStringLiteral("Data"),
                               QStringLiteral("App Ver"),
                               QStringLiteral("Description"),
                               QStringLiteral("FW Ver"),
                               QStringLiteral("Description"),
                               QStringLiteral("BootLoader Ver"),
                               QStringLiteral("Description")};
    const QList<int> widths{60, 100, 100, 200, 100, 200, 120, 250};
    history_->setColumnCount(static_cast<int>(headings.size()));
    history_->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < widths.size(); ++c)
        history_->setColumnWidth(c, widths[c]);
    // Oldest first, each at the top: the newest release ends up in the first row.
    for (const ReleaseEntry& entry : releaseHistory()) {
        history_->insertRow(0);
        const std::array<const char*, 8> texts{entry.number,
                                               entry.date,
                                               entry.appVersion,
                                               entry.appDescription,
                                               entry.firmwareVersion,
                                               entry.firmwareDescription,
                                               entry.bootloaderVersion,
                                               entry.hardwareDescription};
        for (int c = 0; c < static_cast<int>(texts.size()); ++c)
            history_->setItem(0, c,
                              new QTableWidgetItem(QString::fromUtf8(texts[static_cast<std::size_t>(c)])));
    }
}

void CUserAboutDlg::showLogo(const QString& brandCode)
{
    logoNumber_ = info::logoFor(brandCode.toUpper());
    logo_->setPixmap(info::logoPicture(logoNumber_));
}
