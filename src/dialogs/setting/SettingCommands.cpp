#include "SettingCommands.h"

#include "CSettingDlg.h"
#include "setup/DeviceType.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "texts/QtTexts.h"
#include "uikit/MessageBox.h"

#include <algorithm>

namespace setting {

namespace {

// The device type as the dialog's openers read it: afresh from the head, upper-cased; empty when
// no head answers.
std::string currentDeviceType(HeadOperations& head)
{
    return devicetype::upper(head.readDeviceType().value_or(std::string()));
}

} // namespace

bool runBoardSetting(QWidget* parent, HeadOperations& head, display::BoardGrid& grid, int row, int col)
{
    if (head.setup().global().locked(GlobalSettings::LockContextSetting)) {
        uikit::message(parent,
                       texts::qtext(texts::TextId::LockContextSetting, head.setup().global().englishUi()));
        return false;
    }
    CSettingDlg dialog(head, grid, currentDeviceType(head), row, col, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Only a dialog that stored the board left its record in the working record.
    if (dialog.editsBoard())
        refreshPanelFromHead(head, grid, row, col);
    return true;
}

bool runEditSetting(QWidget* parent, HeadOperations& head, display::BoardGrid& grid)
{
    CSettingDlg dialog(head, grid, currentDeviceType(head), 0, 0, parent);
    return dialog.exec() == QDialog::Accepted;
}

void refreshPanelFromHead(HeadOperations& head, display::BoardGrid& grid, int row, int col)
{
    if (!display::BoardGrid::inStorage(row, col))
        return;
    const int k = head.setup().global().gridCols * row + col;
    if (k < 0 || k >= BoardTable::kEntries)
        return;
    const int n = head.setup().boardTableEntry(k).channels();

    ChannelValues values{};
    if (head.readBoardArray(k, BoardArray::Reference, values))
        grid.SetReferences(n, row, col, values.data());
    if (head.readBoardArray(k, BoardArray::ThresholdHigh, values))
        grid.SetThresholdsHigh(n, row, col, values.data());
    if (head.readBoardArray(k, BoardArray::ThresholdLow, values))
        grid.SetThresholdsLow(n, row, col, values.data());
    if (head.readBoardArray(k, BoardArray::Mask, values)) {
        ChannelBytes masks{};
        std::transform(values.begin(), values.end(), masks.begin(),
                       [](std::uint16_t v) { return static_cast<std::uint8_t>(v); });
        grid.SetMasks(n, row, col, masks.data());
    }

    const BoardRecord record = head.setup().workRecord();
    display::BoardPanel& panel = grid.panel(row, col);
    panel.setViewRange(record.viewRangeMax, record.viewRangeMin);
    panel.setPearsonCheck(record.pearsonEnable(), record.pearsonThreshold);
}

} // namespace setting
