#include "ExpansionCommand.h"

#include "CExpandDlg.h"
#include "setup/GridCounts.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/MessageBox.h"

ExpansionOutcome runExpansionSetting(QWidget* owner, HeadOperations& head, ExpansionDialogLink& link)
{
    if (head.setup().global().locked(GlobalSettings::LockExpandMenu)) {
        uikit::message(owner, QStringLiteral("扩展板菜单被禁止！"));
        return ExpansionOutcome::Refused;
    }
    CExpandDlg dialog(head, &link, owner);
    if (dialog.exec() != QDialog::Accepted)
        return ExpansionOutcome::Cancelled;
    applyExpansionSetting(head);
    return ExpansionOutcome::Accepted;
}

void applyExpansionSetting(HeadOperations& head)
{
    head.readGlobalSettings();
    const GlobalSettings global = head.setup().global();
    // A size outside 0..4 can only come from a head changed behind the dialog's back; the view
    // then shows no board, as board loading does with a grid it refuses.
    if (GridCounts::acceptable(global.gridRows, global.gridCols))
        head.setup().grid().set(global.gridRows, global.gridCols);
    else
        head.setup().grid().set(0, 0);
    head.readBoardTable();
    head.restart();
}
