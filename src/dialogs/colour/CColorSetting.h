#pragma once

#include "setup/GlobalSettings.h"

#include <QDialog>

class CColorButton;
class QCheckBox;

// The colour settings dialog: the five bar colours and the three switches that choose picked
// colours over the built-in gradients. It edits the given settings in place, and only on OK:
// the colours of the five buttons and bits 0..2 of colorFlags; every other bit and byte keeps
// its value. Copying into the grid view and writing the head is the Colour command's work.
class CColorSetting : public QDialog {
    Q_OBJECT
public:
    enum ControlId {
        IdPassColor = 1060,
        IdCustomColors = 1061,
        IdHighColor = 1062,
        IdLowColor = 1063,
        IdCustomExcess = 1064,
        IdExcessColor = 1065,
        IdCustomMask = 1066,
        IdMaskColor = 1067,
        IdOk = 1,
        IdCancel = 2,
    };

    explicit CColorSetting(GlobalSettings& settings, QWidget* parent = nullptr);

    void accept() override;

private:
    GlobalSettings& settings_;
    CColorButton* pass_ = nullptr;
    CColorButton* high_ = nullptr;
    CColorButton* low_ = nullptr;
    CColorButton* excess_ = nullptr;
    CColorButton* mask_ = nullptr;
    QCheckBox* customColors_ = nullptr;
    QCheckBox* customExcess_ = nullptr;
    QCheckBox* customMask_ = nullptr;
};
