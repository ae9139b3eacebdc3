#include "ColourCommand.h"

#include "CColorSetting.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"

bool runColourSetting(QWidget* owner, HeadOperations& head, display::BoardGrid& grid)
{
    head.readGlobalSettings();
    GlobalSettings picked = head.setup().global();
    CColorSetting dialog(picked, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The head may have been re-read (re-plugged, swapped) while the dialog was open: only the
    // colour fields go into what it holds now, everything else stays as the head has it.
    constexpr std::uint8_t kSwitches =
        ColorScheme::CustomColors | ColorScheme::CustomExcessColor | ColorScheme::CustomMaskColor;
    const bool written = head.changeGlobalSettings([&picked](GlobalSettings& now) {
        const ColorScheme& from = picked.colors;
        ColorScheme& to = now.colors;
        to.passColor = from.passColor;
        to.excessColor = from.excessColor;
        to.highColor = from.highColor;
        to.lowColor = from.lowColor;
        to.maskColor = from.maskColor;
        to.colorFlags =
            static_cast<std::uint8_t>((to.colorFlags & ~kSwitches) | (from.colorFlags & kSwitches));
    });
    if (written) {
        ColorScheme shown = head.setup().global().colors;
        shown.colorFlags &= kSwitches;
        grid.setColorScheme(shown);
    }
    return true;
}
