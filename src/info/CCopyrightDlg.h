#pragma once

#include <QDialog>

// The certificate picture dialog: the picture on the tiled background; OK and Cancel close it.
class CCopyrightDlg : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IdPicture = 1000, IdOk = 1, IdCancel = 2 };
    explicit CCopyrightDlg(QWidget* parent = nullptr);
};
