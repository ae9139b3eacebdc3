// The expansion board dialog against the simulated head: what it shows, what each button
// writes, the 0..4 grid rule, a stored grid larger than the table, and the refresh message.
#include "CExpandDlg.h"
#include "ExpansionCommand.h"
#include "HeadUnderTest.h"
#include "support/MessageRecorder.h"
#include "uikit/CEditListCtrl.h"
#include "uikit/ControlId.h"

#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using uikit::CEditListCtrl;
using uikit::findControl;

class ExpandDialogTest : public ::testing::Test {
protected:
    // Opens the dialog on the head as it stands now.
    CExpandDlg& open()
    {
        dialog = std::make_unique<CExpandDlg>(h.ops);
        return *dialog;
    }
    CEditListCtrl* list() { return findControl<CEditListCtrl>(dialog.get(), CExpandDlg::IdMapList); }
    QLineEdit* edit(int id) { return findControl<QLineEdit>(dialog.get(), id); }
    void type(int id, const QString& text) { edit(id)->setText(text); }
    void press(int id) { findControl<QPushButton>(dialog.get(), id)->click(); }
    QStringList item(int k)
    {
        QStringList texts;
        for (int c = 0; c < CExpandDlg::kMapColumns; ++c)
            texts << list()->cellText(k, c);
        return texts;
    }
    BoardTableEntry headEntry(int k) const
    {
        const auto table = h.headTable();
        const auto at = 4 * static_cast<std::size_t>(k);
        return {table[at], table[at + 1], table[at + 2], table[at + 3]};
    }

    // Keeps what the command tells the window about its dialog.
    ExpansionDialogWatcher watcher()
    {
        return [this](bool open, std::function<void()> refresh) {
            openEvents.push_back(open);
            refreshDialog = std::move(refresh);
        };
    }

    HeadUnderTest h;
    std::unique_ptr<CExpandDlg> dialog;
    std::vector<bool> openEvents;
    std::function<void()> refreshDialog;
};

TEST_F(ExpandDialogTest, OpeningShowsTheHeadsSettingsAndMap)
{
    h.head->loadDemoSetup(2, 3, 40);
    open();
    EXPECT_EQ(dialog->windowTitle(), "Expand board setting");
    EXPECT_EQ(edit(CExpandDlg::IdRows)->text(), "2");
    EXPECT_EQ(edit(CExpandDlg::IdCols)->text(), "3");
    for (std::size_t i = 0; i < CExpandDlg::kAddressIds.size(); ++i)
        EXPECT_EQ(edit(CExpandDlg::kAddressIds[i])->text(), QString::number(32 + i));
    ASSERT_EQ(list()->columnCount(), 6);
    ASSERT_EQ(list()->rowCount(), 6);
    EXPECT_EQ(list()->horizontalHeaderItem(5)->text(), "ChNum");
    EXPECT_EQ(list()->columnWidth(5), 60);
    // Entry 5 of the demo map: row 1, column 2, expansion board 0, port 5, 40 channels.
    EXPECT_EQ(item(5), QStringList({"5", "1", "2", "0", "5", "40"}));
    EXPECT_FALSE(h.headWasWritten());
}

TEST_F(ExpandDialogTest, SetMakesOneItemPerBoardAndWritesTheGridAtOnce)
{
    open();
    const auto tableBefore = h.headTable();
    type(CExpandDlg::IdRows, "2");
    type(CExpandDlg::IdCols, "3");
    press(CExpandDlg::IdSetGrid);
    ASSERT_EQ(list()->rowCount(), 6);
    EXPECT_EQ(item(0), QStringList({"0", "0", "0", "0", "0", "40"}));
    EXPECT_EQ(item(5), QStringList({"5", "1", "2", "0", "5", "40"}));
    EXPECT_EQ(h.headGlobal().gridRows, 2);
    EXPECT_EQ(h.headGlobal().gridCols, 3);
    EXPECT_EQ(h.headTable(), tableBefore); // the map is written by Write and OK only
}

TEST_F(ExpandDialogTest, InitialiseFillsTheDefaultMapWithoutWriting)
{
    h.head->loadDemoSetup(3, 3, 20);
    open();
    h.head->clearReceived();
    press(CExpandDlg::IdInitialise);
    EXPECT_EQ(item(8), QStringList({"8", "2", "2", "1", "0", "32"}));
    EXPECT_EQ(item(7), QStringList({"7", "2", "1", "0", "7", "32"}));
    EXPECT_FALSE(h.headWasWritten());
}

TEST_F(ExpandDialogTest, WriteStoresEveryItemAsItsEntry)
{
    open();
    list()->setCellText(1, CExpandDlg::ColRow, "2");
    list()->setCellText(1, CExpandDlg::ColCol, "3");
    list()->setCellText(1, CExpandDlg::ColIndex, "4");
    list()->setCellText(1, CExpandDlg::ColPort, "7");
    list()->setCellText(1, CExpandDlg::ColChNum, "300");
    const auto before = h.headTable();
    h.head->clearReceived();
    press(CExpandDlg::IdWriteMap);
    // Entry 1 as typed (position 0x32, 300 kept to 44); every other byte as it was.
    auto expectedTable = before;
    const std::uint8_t entry1[4] = {0x32, 44, 4, 7};
    std::copy(std::begin(entry1), std::end(entry1), expectedTable.begin() + 4);
    EXPECT_EQ(h.headTable(), expectedTable);
    // One read of the settings, then per item the whole table read and written back.
    std::vector<std::uint8_t> expected{CUSBHardWare::kReadBlock};
    for (int k = 0; k < 4; ++k) {
        expected.insert(expected.end(), 4, CUSBHardWare::kReadMemory);
        expected.insert(expected.end(), 4, CUSBHardWare::kWriteMemory);
    }
    EXPECT_EQ(h.commands(), expected);
}

// The operator's way: two clicks on a cell, a number, Enter, then Write.
TEST_F(ExpandDialogTest, CellEditedInPlaceIsWritten)
{
    open();
    dialog->show();
    CEditListCtrl* map = list();
    QCursor::setPos(map->mapToGlobal(map->rect().center()));
    const QPoint cell = map->visualRect(map->model()->index(2, CExpandDlg::ColPort)).center();
    QTest::mouseClick(map->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(map->viewport(), Qt::LeftButton, {}, cell);
    ASSERT_NE(map->itemEdit(), nullptr);
    map->itemEdit()->setText("6");
    QTest::keyClick(map->itemEdit(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(item(2), QStringList({"2", "1", "0", "0", "6", "40"}));
    press(CExpandDlg::IdWriteMap);
    EXPECT_EQ(headEntry(2), (BoardTableEntry{0x01, 40, 0, 6}));
}

TEST_F(ExpandDialogTest, ReadShowsTheHeadsMap)
{
    open();
    const std::uint8_t entry[4] = {0x10, 64, 1, 6};
    h.head->setMemory(storage::boardTableEntryAddress(2), entry, 4);
    press(CExpandDlg::IdReadMap);
    EXPECT_EQ(item(2), QStringList({"2", "0", "1", "1", "6", "64"}));
}

TEST_F(ExpandDialogTest, ReadGridShowsTheStoredSize)
{
    open();
    h.changeHeadGlobal([](GlobalSettings& g) {
        g.gridRows = 3;
        g.gridCols = 1;
    });
    press(CExpandDlg::IdReadGrid);
    EXPECT_EQ(edit(CExpandDlg::IdRows)->text(), "3");
    EXPECT_EQ(edit(CExpandDlg::IdCols)->text(), "1");
    EXPECT_EQ(list()->rowCount(), 4); // the list waits for Set
}

struct TypedCase {
    std::string name;
    int id;
    QString text;
    std::uint8_t stored;
};

class ExpandDialogTyped : public ExpandDialogTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(ExpandDialogTyped, OkStoresTheLowByteOfTheLeadingNumber)
{
    const TypedCase& c = GetParam();
    open();
    type(c.id, c.text);
    press(CExpandDlg::IdOk);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const GlobalSettings stored = h.headGlobal();
    std::uint8_t value = 0;
    if (c.id == CExpandDlg::IdBoardCount)
        value = stored.expandBoardCount;
    else if (c.id == CExpandDlg::IdRows)
        value = stored.gridRows;
    else if (c.id == CExpandDlg::IdCols)
        value = stored.gridCols;
    else
        for (std::size_t i = 0; i < CExpandDlg::kAddressIds.size(); ++i)
            if (CExpandDlg::kAddressIds[i] == c.id)
                value = stored.expandBoardAddress[i];
    EXPECT_EQ(value, c.stored);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ExpandDialogTyped,
                         ::testing::Values(TypedCase{"AddressOf300Is44", 1018, "300", 44},
                                           TypedCase{"LastAddressMinusOne", 1026, "-1", 255},
                                           TypedCase{"TrailingLetters", 1022, "12abc", 12},
                                           TypedCase{"Empty", 1017, "", 0},
                                           TypedCase{"BlanksAndSign", 1017, "  +7", 7},
                                           TypedCase{"Rows", 1019, "3", 3}, TypedCase{"Cols", 1027, "4", 4}),
                         [](const auto& param) { return param.param.name; });

TEST_F(ExpandDialogTest, OkWritesOneBlockPerEditThenTheMap)
{
    open();
    h.head->clearReceived();
    press(CExpandDlg::IdOk);
    std::vector<std::uint8_t> expected;
    for (int edit = 0; edit < 11; ++edit) // read, then read-modify-write of block 249
        expected.insert(expected.end(),
                        {CUSBHardWare::kReadBlock, CUSBHardWare::kReadBlock, CUSBHardWare::kWriteBlock});
    expected.push_back(CUSBHardWare::kReadBlock);
    for (int k = 0; k < 4; ++k) {
        expected.insert(expected.end(), 4, CUSBHardWare::kReadMemory);
        expected.insert(expected.end(), 4, CUSBHardWare::kWriteMemory);
    }
    EXPECT_EQ(h.commands(), expected);
}

struct GridCase {
    std::string name;
    QString rows;
    QString cols;
};

class ExpandDialogGridRule : public ExpandDialogTest, public ::testing::WithParamInterface<GridCase> {};

TEST_P(ExpandDialogGridRule, SetAndOkRefuseSizesOutsideZeroToFour)
{
    const GridCase& c = GetParam();
    MessageRecorder messages;
    open();
    h.head->clearReceived();
    type(CExpandDlg::IdRows, c.rows);
    type(CExpandDlg::IdCols, c.cols);
    type(1018, "99");

    press(CExpandDlg::IdSetGrid);
    EXPECT_EQ(list()->rowCount(), 4);
    press(CExpandDlg::IdOk);
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    EXPECT_EQ(messages.texts(), QStringList(2, CExpandDlg::gridSizeMessage(false)));
    EXPECT_FALSE(h.headWasWritten());
    EXPECT_EQ(h.headGlobal().expandBoardAddress[0], 32);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ExpandDialogGridRule,
    ::testing::Values(GridCase{"FiveRows", "5", "2"}, GridCase{"NineCols", "2", "9"},
                      GridCase{"NegativeRows", "-1", "2"}, GridCase{"WrapsToFourInAByte", "260", "2"},
                      GridCase{"RowsWithoutDigits", "x", "2"}, GridCase{"TextAfterTheColumns", "2", "3x"},
                      GridCase{"EmptyRows", "", "2"}, GridCase{"LetterOForZero", "O", "2"}),
    [](const auto& param) { return param.param.name; });

TEST_F(ExpandDialogTest, GridRuleMessageFollowsTheInterfaceLanguage)
{
    h.changeHeadGlobal([](GlobalSettings& g) { g.outputFlags |= GlobalSettings::EnglishUi; });
    MessageRecorder messages;
    open();
    type(CExpandDlg::IdRows, "7");
    press(CExpandDlg::IdSetGrid);
    EXPECT_EQ(messages.texts(), QStringList{CExpandDlg::gridSizeMessage(true)});
}

TEST_F(ExpandDialogTest, ZeroRowsAreAcceptedAndWriteNoMap)
{
    open();
    type(CExpandDlg::IdRows, "0");
    press(CExpandDlg::IdSetGrid);
    EXPECT_EQ(list()->rowCount(), 0);
    h.head->clearReceived();
    press(CExpandDlg::IdWriteMap);
    EXPECT_EQ(h.commands(), std::vector<std::uint8_t>{CUSBHardWare::kReadBlock});
}

// A head whose stored grid is larger than the view (or even the table) still opens and can be
// repaired; nothing is read or written past the 64 table entries.
TEST_F(ExpandDialogTest, OversizedStoredGridOpensWithinTheTable)
{
    h.changeHeadGlobal([](GlobalSettings& g) {
        g.gridRows = 9;
        g.gridCols = 9;
    });
    std::vector<std::uint8_t> table(storage::kBoardTableSize);
    for (int k = 0; k < 64; ++k)
        table[4 * static_cast<std::size_t>(k) + 1] = static_cast<std::uint8_t>(k);
    h.head->setMemory(0, table.data(), static_cast<int>(table.size()));
    const auto regionBefore = h.head->memory(storage::boardRegionAddress(0), 64);

    open();
    EXPECT_EQ(edit(CExpandDlg::IdRows)->text(), "9");
    ASSERT_EQ(list()->rowCount(), 64);
    EXPECT_EQ(list()->cellText(63, CExpandDlg::ColChNum), "63");

    press(CExpandDlg::IdInitialise);
    EXPECT_EQ(item(63), QStringList({"63", "7", "0", "7", "7", "32"}));
    press(CExpandDlg::IdWriteMap);
    EXPECT_EQ(headEntry(63), (BoardTableEntry{0x07, 32, 7, 7}));
    EXPECT_EQ(h.head->memory(storage::boardRegionAddress(0), 64), regionBefore);
    // The table operation itself refuses an entry past the table.
    h.head->clearReceived();
    EXPECT_FALSE(h.ops.updateBoardTableEntry(64, 0, 0, 0, 0, 40));
    EXPECT_TRUE(h.commands().empty());

    // Repair: a 2 x 2 grid is written at once.
    type(CExpandDlg::IdRows, "2");
    type(CExpandDlg::IdCols, "2");
    press(CExpandDlg::IdSetGrid);
    EXPECT_EQ(list()->rowCount(), 4);
    EXPECT_EQ(h.headGlobal().gridRows, 2);
}

TEST_F(ExpandDialogTest, RefreshWithAParameterChangesNothing)
{
    open();
    list()->setCellText(0, CExpandDlg::ColChNum, "17");
    h.head->loadDemoSetup(3, 2, 40);
    h.head->clearReceived();
    EXPECT_EQ(dialog->onRefreshMessage(1, 0), 0);
    EXPECT_EQ(dialog->onRefreshMessage(0, 5), 0);
    EXPECT_TRUE(h.commands().empty());
    EXPECT_EQ(list()->rowCount(), 4);
    EXPECT_EQ(list()->cellText(0, CExpandDlg::ColChNum), "17");
}

TEST_F(ExpandDialogTest, RefreshReloadsEditsAndList)
{
    open();
    h.head->loadDemoSetup(3, 2, 24);
    EXPECT_EQ(dialog->onRefreshMessage(0, 0), 0);
    EXPECT_EQ(edit(CExpandDlg::IdRows)->text(), "3");
    EXPECT_EQ(list()->columnCount(), 6);
    ASSERT_EQ(list()->rowCount(), 6);
    EXPECT_EQ(item(5), QStringList({"5", "2", "1", "0", "5", "24"}));
}

// ---- the Expansion board command ----

TEST_F(ExpandDialogTest, CommandIsRefusedWhileTheExpandMenuIsLocked)
{
    h.changeHeadGlobal([](GlobalSettings& g) { g.lockFlags |= GlobalSettings::LockExpandMenu; });
    h.ops.readGlobalSettings();
    h.head->clearReceived();
    MessageRecorder messages;
    EXPECT_EQ(runExpansionSetting(nullptr, h.ops, watcher()), ExpansionOutcome::Refused);
    EXPECT_EQ(messages.texts(), QStringList{"扩展板菜单被禁止！"});
    EXPECT_TRUE(h.commands().empty());
    EXPECT_TRUE(openEvents.empty());
}

TEST_F(ExpandDialogTest, CommandOkGivesTheViewTheGridAndRestartsTheHead)
{
    h.ops.readGlobalSettings();
    whenDialogOpens([](QDialog* opened) {
        findControl<QLineEdit>(opened, CExpandDlg::IdRows)->setText("3");
        findControl<QLineEdit>(opened, CExpandDlg::IdCols)->setText("1");
        findControl<QPushButton>(opened, CExpandDlg::IdOk)->click();
    });
    EXPECT_EQ(runExpansionSetting(nullptr, h.ops, watcher()), ExpansionOutcome::Accepted);
    EXPECT_EQ(h.setup.grid().get(), std::make_pair(3, 1));
    EXPECT_EQ(h.head->restartCount(), 1);
    EXPECT_EQ(openEvents, (std::vector<bool>{true, false}));
    const auto codes = h.commands();
    ASSERT_GE(codes.size(), 6U);
    // After the dialog: the settings, the table, then the restart.
    EXPECT_EQ(std::vector<std::uint8_t>(codes.end() - 6, codes.end()),
              (std::vector<std::uint8_t>{CUSBHardWare::kReadBlock, CUSBHardWare::kReadMemory,
                                         CUSBHardWare::kReadMemory, CUSBHardWare::kReadMemory,
                                         CUSBHardWare::kReadMemory, CUSBHardWare::kRestart}));
}

TEST_F(ExpandDialogTest, CommandCancelDoesNotRestart)
{
    h.ops.readGlobalSettings();
    whenDialogOpens([](QDialog* opened) { findControl<QPushButton>(opened, CExpandDlg::IdCancel)->click(); });
    EXPECT_EQ(runExpansionSetting(nullptr, h.ops, watcher()), ExpansionOutcome::Cancelled);
    EXPECT_EQ(h.head->restartCount(), 0);
    EXPECT_EQ(h.setup.grid().get(), std::make_pair(2, 2));
}

// Board loading reaches the open dialog through the function the watcher was given.
TEST_F(ExpandDialogTest, CommandHandsOutTheRefreshWhileTheDialogIsOpen)
{
    h.ops.readGlobalSettings();
    QStringList reloadedRows;
    whenDialogOpens([this, &reloadedRows](QDialog* opened) {
        EXPECT_EQ(openEvents, std::vector<bool>{true});
        h.head->loadDemoSetup(3, 2, 24);
        ASSERT_TRUE(refreshDialog);
        refreshDialog();
        auto* map = findControl<CEditListCtrl>(opened, CExpandDlg::IdMapList);
        reloadedRows << QString::number(map->rowCount()) << map->cellText(5, CExpandDlg::ColChNum);
        findControl<QPushButton>(opened, CExpandDlg::IdCancel)->click();
    });
    EXPECT_EQ(runExpansionSetting(nullptr, h.ops, watcher()), ExpansionOutcome::Cancelled);
    EXPECT_EQ(reloadedRows, QStringList({"6", "24"}));
    EXPECT_EQ(openEvents, (std::vector<bool>{true, false}));
    EXPECT_FALSE(refreshDialog);
}

TEST_F(ExpandDialogTest, StepsAfterOkShowNoBoardForAGridBeyondTheView)
{
    h.changeHeadGlobal([](GlobalSettings& g) { g.gridRows = 6; });
    applyExpansionSetting(h.ops);
    EXPECT_EQ(h.setup.grid().get(), std::make_pair(0, 0));
    EXPECT_EQ(h.head->restartCount(), 1);
}

} // namespace
