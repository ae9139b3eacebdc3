#include "ExpansionCommand.h"

#include "CExpandDlg.h"
#include "setup/GridCounts.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "texts/QtTexts.h"
#include "uikit/MessageBox.h"

#include <QPointer>

#include <memory>

ExpansionOutcome runExpansionSetting(QWidget* owner, HeadOperations& head,
                                     const ExpansionDialogWatcher& watcher)
{
    if (head.setup().global().locked(GlobalSettings::LockExpandMenu)) {
        uikit::message(owner, texts::qtext(texts::TextId::LockExpandMenu, head.setup().global().englishUi()));
        return ExpansionOutcome::Refused;
    }
    // The watcher may keep the refresh function a little longer than the dialog lives.
    auto shown = std::make_shared<QPointer<CExpandDlg>>();
    if (watcher)
        watcher(true, [shown] {
            if (*shown != nullptr)
                (*shown)->onRefreshMessage(0, 0);
        });
    bool accepted = false;
    {
        CExpandDlg dialog(head, owner);
        *shown = &dialog;
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (watcher)
        watcher(false, {});
    if (!accepted)
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
