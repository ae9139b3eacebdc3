// The commands that open the baseline dialog: the right-click board setting with its lock and its
// refresh of the grid after OK, and the Edit menu's setting for the first position.
#include "dialogs/setting/SettingCommands.h"

#include "SettingDialogFixture.h"
#include "device/StorageMap.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace {

using namespace setting;

class SettingCommands : public SettingDialogTest {
protected:
    // Runs `act` on the dialog once its modal loop runs, then closes it with OK or Cancel.
    void answerDialog(bool ok, std::function<void(CSettingDlg&)> act = {})
    {
        QTimer::singleShot(0, [this, ok, act = std::move(act)] {
            auto* dialog = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            opened = dialog->boardIndex();
            if (act)
                act(*dialog);
            click(*dialog, ok ? id::kOk : id::kCancel);
        });
    }

    void setDeviceType(const char* type)
    {
        Payload identity = head->block(storage::IDENTITY_BLOCK);
        std::fill_n(identity.begin() + storage::kIdentityDeviceTypeOffset, storage::kIdentityTextSize, 0);
        std::copy_n(type, std::strlen(type), identity.begin() + storage::kIdentityDeviceTypeOffset);
        head->setBlock(storage::IDENTITY_BLOCK, identity);
    }

    int opened = -1;
};

TEST_F(SettingCommands, OkRefreshesThePanelFromTheHeadAndTheWorkingRecord)
{
    setHeadArray(1, BoardArray::Reference, {1000, 1000, 1000, 1000});
    BoardRecord record = headRecord(1);
    record.setFlag(BoardRecord::PearsonEnable, false);
    setHeadRecord(1, record);
    answerDialog(true, [this](CSettingDlg& dialog) {
        click(dialog, id::kByPercentage);
        type(dialog, id::kPercentage, "10");
        click(dialog, id::kBaseline);
        click(dialog, id::kCloseAll);
        type(dialog, id::kRangeMax, "5000");
        type(dialog, id::kRangeMin, "200");
        click(dialog, id::kPearson);
        type(dialog, id::kPearsonPercent, "75");
    });
    EXPECT_TRUE(runBoardSetting(nullptr, ops, grid, 0, 1));
    EXPECT_EQ(opened, 1);

    const display::BoardPanel& panel = grid.panel(0, 1);
    for (std::size_t i = 0; i < kChannels; ++i) {
        EXPECT_EQ(panel.reference[i].load(), 1000);
        EXPECT_EQ(panel.thresholdHigh[i].load(), 1100);
        EXPECT_EQ(panel.thresholdLow[i].load(), 900);
        EXPECT_EQ(panel.mask[i].load(), 1);
    }
    EXPECT_EQ(panel.viewRangeMax.load(), 5000.0);
    EXPECT_EQ(panel.viewRangeMin.load(), 200.0);
    EXPECT_TRUE(panel.pearsonEnable.load());
    EXPECT_DOUBLE_EQ(panel.pearsonThreshold.load(), 0.75);
}

TEST_F(SettingCommands, CancelLeavesThePanelAndTheHead)
{
    const display::BoardSnapshot before = grid.panel(0, 1).snapshot();
    const std::vector<std::uint8_t> head0 = headSetup();
    answerDialog(false, [this](CSettingDlg& dialog) { click(dialog, id::kCloseAll); });
    EXPECT_FALSE(runBoardSetting(nullptr, ops, grid, 0, 1));
    EXPECT_EQ(grid.panel(0, 1).snapshot(), before);
    EXPECT_EQ(headSetup(), head0);
}

TEST_F(SettingCommands, LockedContextSettingOpensNoDialog)
{
    setGlobal([](GlobalSettings& g) { g.lockFlags |= GlobalSettings::LockContextSetting; });
    EXPECT_FALSE(runBoardSetting(nullptr, ops, grid, 0, 0));
    EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8("右键参数菜单被禁止！")});
    EXPECT_EQ(messages.messages[0].caption, uikit::kAppCaption);
}

TEST_F(SettingCommands, DeviceTypeIsReadFromTheHeadAndUpperCased)
{
    setDeviceType("trivellav2.1");
    answerDialog(true, [this](CSettingDlg& dialog) { EXPECT_TRUE(dialog.editsBoard()); });
    EXPECT_TRUE(runBoardSetting(nullptr, ops, grid, 0, 0));

    setDeviceType("TRIVELLAV2X");
    const display::BoardSnapshot before = grid.panel(0, 0).snapshot();
    answerDialog(true, [this](CSettingDlg& dialog) { EXPECT_FALSE(dialog.editsBoard()); });
    EXPECT_TRUE(runBoardSetting(nullptr, ops, grid, 0, 0));
    EXPECT_EQ(grid.panel(0, 0).snapshot(), before); // no refresh for another type
}

TEST_F(SettingCommands, EditMenuSettingOpensTheFirstPosition)
{
    answerDialog(true);
    EXPECT_TRUE(runEditSetting(nullptr, ops, grid));
    EXPECT_EQ(opened, 0);
}

} // namespace
