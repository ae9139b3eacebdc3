#pragma once

#include <QDialog>

// The plain about box of the window's system menu: icon, product caption, a second header line
// and OK. No behaviour of its own.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IdOk = 1 };
    explicit CAboutDlg(QWidget* parent = nullptr);
};
