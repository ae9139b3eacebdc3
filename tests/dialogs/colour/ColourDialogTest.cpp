// The colour dialog on a settings image, its colour buttons, and the Colour command against the
// simulated head.
#include "CColorButton.h"
#include "CColorSetting.h"
#include "ColourCommand.h"
#include "dialogs/expansion/HeadUnderTest.h"
#include "display/BoardGrid.h"
#include "uikit/ControlId.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using uikit::findControl;

GlobalSettings sampleSettings(std::uint8_t colorFlags)
{
    GlobalSettings s;
    s.outputFlags = 0x45;
    s.gridRows = 2;
    s.gridCols = 3;
    s.colors.passColor = {10, 20, 30, 0x77};
    s.colors.excessColor = {40, 50, 60, 0};
    s.colors.highColor = {70, 80, 90, 1};
    s.colors.lowColor = {100, 110, 120, 2};
    s.colors.maskColor = {130, 140, 150, 3};
    s.colors.colorFlags = colorFlags;
    return s;
}

CColorButton* button(QWidget* dialog, int id)
{
    return findControl<CColorButton>(dialog, id);
}

void click(QWidget* dialog, int id)
{
    findControl<QPushButton>(dialog, id)->click();
}

TEST(ColourDialog, ShowsTheColoursAndSwitches)
{
    GlobalSettings settings = sampleSettings(ColorScheme::CustomColors | ColorScheme::CustomMaskColor);
    CColorSetting dialog(settings);
    EXPECT_EQ(dialog.windowTitle(), "颜色设置");
    EXPECT_EQ(button(&dialog, CColorSetting::IdPassColor)->color(), QColor(10, 20, 30));
    EXPECT_EQ(button(&dialog, CColorSetting::IdHighColor)->color(), QColor(70, 80, 90));
    EXPECT_EQ(button(&dialog, CColorSetting::IdLowColor)->color(), QColor(100, 110, 120));
    EXPECT_EQ(button(&dialog, CColorSetting::IdExcessColor)->color(), QColor(40, 50, 60));
    EXPECT_EQ(button(&dialog, CColorSetting::IdMaskColor)->color(), QColor(130, 140, 150));
    EXPECT_TRUE(findControl<QCheckBox>(&dialog, CColorSetting::IdCustomColors)->isChecked());
    EXPECT_FALSE(findControl<QCheckBox>(&dialog, CColorSetting::IdCustomExcess)->isChecked());
    EXPECT_TRUE(findControl<QCheckBox>(&dialog, CColorSetting::IdCustomMask)->isChecked());
}

TEST(ColourDialog, CancelLeavesTheSettingsAlone)
{
    const GlobalSettings before = sampleSettings(0x01);
    GlobalSettings settings = before;
    CColorSetting dialog(settings);
    button(&dialog, CColorSetting::IdPassColor)->setColor(Qt::red);
    findControl<QCheckBox>(&dialog, CColorSetting::IdCustomMask)->setChecked(true);
    click(&dialog, CColorSetting::IdCancel);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings, before);
}

// OK untouched writes back what it was given, every reserved bit of colorFlags included.
class ColourDialogFlags : public ::testing::TestWithParam<std::uint8_t> {};

TEST_P(ColourDialogFlags, OkUntouchedKeepsEverything)
{
    const GlobalSettings before = sampleSettings(GetParam());
    GlobalSettings settings = before;
    CColorSetting dialog(settings);
    click(&dialog, CColorSetting::IdOk);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings, before);
}

TEST_P(ColourDialogFlags, OkTakesTheThreeBoxesAndKeepsBitsThreeToSeven)
{
    const std::uint8_t flags = GetParam();
    GlobalSettings settings = sampleSettings(flags);
    CColorSetting dialog(settings);
    for (const int id :
         {CColorSetting::IdCustomColors, CColorSetting::IdCustomExcess, CColorSetting::IdCustomMask})
        findControl<QCheckBox>(&dialog, id)->toggle();
    click(&dialog, CColorSetting::IdOk);
    EXPECT_EQ(settings.colors.colorFlags, flags ^ 0x07);
}

INSTANTIATE_TEST_SUITE_P(ColorFlags, ColourDialogFlags,
                         ::testing::Values(0x00, 0x07, 0xF8, 0xA5, 0x5A, 0xFF));

TEST(ColourDialog, OkStoresPickedColoursAsNumbers)
{
    GlobalSettings settings = sampleSettings(0x03);
    const GlobalSettings before = settings;
    CColorSetting dialog(settings);
    button(&dialog, CColorSetting::IdHighColor)->setColor(QColor(1, 2, 3));
    button(&dialog, CColorSetting::IdMaskColor)->setColor(QColor(4, 5, 6));
    click(&dialog, CColorSetting::IdOk);
    EXPECT_EQ(settings.colors.highColor, Rgbx::fromRgb(1, 2, 3));
    EXPECT_EQ(settings.colors.maskColor, Rgbx::fromRgb(4, 5, 6));
    EXPECT_EQ(settings.colors.passColor, before.colors.passColor); // unchanged: fourth byte kept
    EXPECT_EQ(settings.outputFlags, before.outputFlags);
    EXPECT_EQ(settings.gridCols, before.gridCols);
}

TEST(ColourButton, PaletteAndOtherPickTheColour)
{
    CColorButton colorButton;
    colorButton.setColor(QColor(9, 9, 9));
    QColor asked;
    colorButton.setChooser([&asked](const QColor& current, QWidget*) {
        asked = current;
        return QColor(200, 100, 50);
    });
    QPushButton* other = colorButton.palettePopup()->findChild<QPushButton*>("otherColorButton");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->text(), "其它");
    other->click();
    EXPECT_EQ(asked, QColor(9, 9, 9));
    EXPECT_EQ(colorButton.color(), QColor(200, 100, 50));

    // A standard colour from the palette.
    const QColor standard = CColorButton::standardColors().at(9);
    for (QPushButton* swatch : colorButton.palettePopup()->findChildren<QPushButton*>())
        if (swatch->property("paletteColor").value<QColor>() == standard)
            swatch->click();
    EXPECT_EQ(colorButton.color(), standard);

    // A cancelled chooser keeps the colour.
    colorButton.setChooser([](const QColor&, QWidget*) { return QColor(); });
    other->click();
    EXPECT_EQ(colorButton.color(), standard);
}

// ---- the Colour command ----

class ColourCommandTest : public ::testing::Test {
protected:
    HeadUnderTest h;
    display::BoardGrid grid{h.setup.grid()};
};

TEST_F(ColourCommandTest, OkGivesTheViewTheSchemeAndWritesBlock249)
{
    Payload block = h.head->block(storage::SETTINGS_BLOCK);
    for (int i = 56; i < 64; ++i)
        block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0xC0 + i);
    block[55] = 0xF8 | ColorScheme::CustomColors; // reserved bits set on the head
    h.head->setBlock(storage::SETTINGS_BLOCK, block);
    h.head->clearReceived();

    whenDialogOpens([](QDialog* opened) {
        button(opened, CColorSetting::IdPassColor)->setColor(QColor(1, 2, 3));
        findControl<QCheckBox>(opened, CColorSetting::IdCustomMask)->setChecked(true);
        click(opened, CColorSetting::IdOk);
    });
    EXPECT_TRUE(runColourSetting(nullptr, h.ops, grid));

    const Payload stored = h.head->block(storage::SETTINGS_BLOCK);
    EXPECT_EQ(stored[35], 1);
    EXPECT_EQ(stored[36], 2);
    EXPECT_EQ(stored[37], 3);
    EXPECT_EQ(stored[38], 0);
    EXPECT_EQ(stored[55], 0xF8 | ColorScheme::CustomColors | ColorScheme::CustomMaskColor);
    for (int i = 56; i < 64; ++i)
        EXPECT_EQ(stored[static_cast<std::size_t>(i)], 0xC0 + i);
    for (int i = 0; i < 35; ++i)
        EXPECT_EQ(stored[static_cast<std::size_t>(i)], block[static_cast<std::size_t>(i)]);

    const ColorScheme shown = grid.colorScheme();
    EXPECT_EQ(shown.passColor.red, 1);
    EXPECT_EQ(shown.passColor.blue, 3);
    EXPECT_EQ(shown.colorFlags, ColorScheme::CustomColors | ColorScheme::CustomMaskColor);
    EXPECT_EQ(h.setup.global().colors.colorFlags, stored[55]);
}

// The head is re-read (re-plugged, swapped) while the dialog is open: OK changes only the colour
// fields of what the head holds now, never writes back the settings seen at opening.
TEST_F(ColourCommandTest, OkChangesOnlyTheColoursOfWhatTheHeadHoldsNow)
{
    GlobalSettings changedMeanwhile;
    whenDialogOpens([&](QDialog* opened) {
        h.changeHeadGlobal([](GlobalSettings& g) {
            g.gridRows = 4;
            g.gridCols = 1;
            g.expandBoardAddress = {1, 2, 3, 4, 5, 6, 7, 8};
            g.lockFlags = GlobalSettings::LockSave;
            g.outputFlags ^= GlobalSettings::BuzzerEnable;
            g.allowedHigh = 4321;
            g.colors.colorFlags = 0xA0;
        });
        changedMeanwhile = h.headGlobal();
        h.ops.readGlobalSettings(); // the connection set-up of the new head
        button(opened, CColorSetting::IdLowColor)->setColor(QColor(7, 8, 9));
        findControl<QCheckBox>(opened, CColorSetting::IdCustomMask)->setChecked(true);
        click(opened, CColorSetting::IdOk);
    });
    EXPECT_TRUE(runColourSetting(nullptr, h.ops, grid));

    const GlobalSettings stored = h.headGlobal();
    GlobalSettings expected = changedMeanwhile;
    expected.colors = stored.colors;
    EXPECT_EQ(stored, expected) << "every field but the colours as the head held it";
    EXPECT_EQ(stored.colors.lowColor, Rgbx::fromRgb(7, 8, 9));
    EXPECT_EQ(stored.colors.colorFlags & 0xF8, 0xA0) << "bits 3..7 as the head held them";
    EXPECT_TRUE(stored.colors.customMaskColor());
    EXPECT_EQ(h.setup.global(), stored);
    EXPECT_EQ(grid.colorScheme().lowColor, Rgbx::fromRgb(7, 8, 9));
}

TEST_F(ColourCommandTest, CancelOnlyReadsTheSettings)
{
    const ColorScheme shownBefore = grid.colorScheme();
    const Payload before = h.head->block(storage::SETTINGS_BLOCK);
    h.head->clearReceived();
    whenDialogOpens([](QDialog* opened) {
        button(opened, CColorSetting::IdPassColor)->setColor(QColor(1, 2, 3));
        click(opened, CColorSetting::IdCancel);
    });
    EXPECT_FALSE(runColourSetting(nullptr, h.ops, grid));
    EXPECT_EQ(h.commands(), std::vector<std::uint8_t>{CUSBHardWare::kReadBlock});
    EXPECT_EQ(h.head->block(storage::SETTINGS_BLOCK), before);
    EXPECT_EQ(grid.colorScheme(), shownBefore);
}

} // namespace
