#include "ColourCommand.h"

#include "CColorSetting.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

bool runColourSetting(QWidget* owner, HeadOperations& head, display::BoardGrid& grid)
{
    head.readGlobalSettings();
    GlobalSettings settings = head.setup().global();
    CColorSetting dialog(settings, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    head.setup().setGlobal(settings);
    ColorScheme shown = settings.colors;
    shown.colorFlags &=
        ColorScheme::CustomColors | ColorScheme::CustomExcessColor | ColorScheme::CustomMaskColor;
    grid.setColorScheme(shown);
    head.writeGlobalSettings();
    return true;
}
