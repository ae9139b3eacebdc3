#pragma once

#include <QDialog>
#include <QString>

class CUSBChannel;
class QLabel;
class QLineEdit;
class QTableWidget;

// The About dialog: what the connected head reports about its firmware (read afresh on opening),
// the station's own version, its release history (newest first) and the logo chosen by the
// head's brand code. Nothing is stored; OK and Cancel only close it.
class CUserAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum ControlId {
        IdFirmwareType = 1034,
        IdFirmwareVersion = 1035,
        IdBuildDate = 1036,
        IdBootloader = 1037,
        IdStationVersion = 1041,
        IdLogo = 1042,
        IdHistory = 1043,
        IdOk = 1,
        IdCancel = 2,
    };

    // brandCode: the brand code text of the identity block (upper-cased here).
    CUserAboutDlg(CUSBChannel& device, bool englishUi, const QString& brandCode, QWidget* parent = nullptr);

    // Number of the logo picture shown.
    int logoNumber() const { return logoNumber_; }

private:
    void buildControls(bool englishUi);
    void showFirmware(bool englishUi);
    void fillHistory();
    void showLogo(const QString& brandCode);

    CUSBChannel& device_;
    QLineEdit* type_ = nullptr;
    QLineEdit* version_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* bootloader_ = nullptr;
    QLineEdit* stationVersion_ = nullptr;
    QTableWidget* history_ = nullptr;
    QLabel* logo_ = nullptr;
    int logoNumber_ = 0;
};
