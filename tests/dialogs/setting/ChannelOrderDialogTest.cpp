// The custom channel order in the baseline dialog: how it is shown when the dialog opens and what
// OK stores on the head and in the main grid's order for the position.
#include "SettingDialogFixture.h"
#include "support/CaseName.h"

#include <QCheckBox>
#include <QCoreApplication>

#include <vector>

namespace {

using namespace setting;

class ChannelOrderDialog : public SettingDialogTest {
protected:
    static constexpr int kRow = 1;
    static constexpr int kCol = 0;
    static constexpr int kBoard = kRow * 2 + kCol;

    // The head carries the custom order 2,3,0,1 in force; the grid shows it.
    ChannelOrderDialog()
    {
        setHeadArray(kBoard, BoardArray::Order, {2, 3, 0, 1, 9, 9});
        BoardRecord record = headRecord(kBoard);
        record.setFlag(BoardRecord::OrderEnable, true);
        setHeadRecord(kBoard, record);
        grid.panel(kRow, kCol).setOrder(std::vector<std::uint8_t>{2, 3, 0, 1});
    }

    std::vector<int> gridOrder() const
    {
        std::vector<int> order;
        order.reserve(6);
        for (int i = 0; i < 6; ++i)
            order.push_back(grid.panel(kRow, kCol).order[static_cast<std::size_t>(i)].load());
        return order;
    }
    std::vector<int> headOrder() const
    {
        const std::vector<int> order = headArray(kBoard, BoardArray::Order);
        return {order.begin(), order.begin() + 6};
    }
};

TEST_F(ChannelOrderDialog, OpeningShowsTheHeadsOrderWhenItIsInForce)
{
    auto dialog = openDialog(kRow, kCol);
    EXPECT_TRUE(control<QCheckBox>(*dialog, id::kCustomOrder)->isChecked());
    EXPECT_TRUE(control<QLineEdit>(*dialog, id::kOrderText)->isEnabled());
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kOrderText)->text(), "02,03,00,01");

    control<QCheckBox>(*dialog, id::kCustomOrder)->click();
    EXPECT_FALSE(control<QLineEdit>(*dialog, id::kOrderText)->isEnabled());
}

TEST_F(ChannelOrderDialog, OpeningShowsTheGridsOrderWhenTheCustomOrderIsOff)
{
    BoardRecord record = headRecord(kBoard);
    record.setFlag(BoardRecord::OrderEnable, false);
    setHeadRecord(kBoard, record);
    grid.panel(kRow, kCol).setOrder(std::vector<std::uint8_t>{3, 2, 1, 0});
    auto dialog = openDialog(kRow, kCol);
    EXPECT_FALSE(control<QCheckBox>(*dialog, id::kCustomOrder)->isChecked());
    EXPECT_FALSE(control<QLineEdit>(*dialog, id::kOrderText)->isEnabled());
    EXPECT_EQ(control<QLineEdit>(*dialog, id::kOrderText)->text(), "03,02,01,00");
}

// The edit opens at the beginning of its text: a 64-channel order is wider than the edit, and
// the operator must see its first entries.
class ChannelOrderShown : public ChannelOrderDialog, public ::testing::WithParamInterface<bool> {};

TEST_P(ChannelOrderShown, OpeningShowsTheBeginningOfTheText)
{
    if (!GetParam()) {
        BoardRecord record = headRecord(kBoard);
        record.setFlag(BoardRecord::OrderEnable, false);
        setHeadRecord(kBoard, record);
    }
    auto dialog = openDialog(kRow, kCol);
    dialog->show();
    QCoreApplication::processEvents();
    auto* edit = control<QLineEdit>(*dialog, id::kOrderText);
    ASSERT_FALSE(edit->text().isEmpty());
    EXPECT_EQ(edit->cursorPosition(), 0);
    EXPECT_FALSE(edit->hasSelectedText());
}

INSTANTIATE_TEST_SUITE_P(Order, ChannelOrderShown, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "HeadsOrder" : "GridsOrder"; });

struct OrderCase {
    bool customOrder;
    QString text;
    int messages;
    bool orderEnable;
    std::vector<int> order; // places 0..5 on the head and in the grid
};

class ChannelOrderStore : public ChannelOrderDialog, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(ChannelOrderStore, OkStoresTheOrderOrRefusesIt)
{
    const OrderCase& c = GetParam();
    auto dialog = openDialog(kRow, kCol);
    auto* check = control<QCheckBox>(*dialog, id::kCustomOrder);
    if (check->isChecked() != c.customOrder)
        check->click();
    type(*dialog, id::kOrderText, c.text);
    click(*dialog, id::kOk);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(messages.texts(),
              QStringList(c.messages, QString::fromUtf8("数据不合法，有大于通道数或者小于0的序号！")));
    EXPECT_EQ(headRecord(kBoard).orderEnable(), c.orderEnable);
    EXPECT_EQ(headOrder(), c.order);
    const std::vector<int> shown = gridOrder();
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 4),
              std::vector<int>(c.order.begin(), c.order.begin() + 4));
}

const std::vector<int> kUnchanged = {2, 3, 0, 1, 9, 9};

INSTANTIATE_TEST_SUITE_P(
    Cases, ChannelOrderStore,
    ::testing::Values(OrderCase{true, "00,01,02,03", 0, true, {0, 1, 2, 3, 0, 0}},
                      OrderCase{true, "03,02,01,00", 0, true, {3, 2, 1, 0, 0, 0}},
                      // "1 2,3": one entry for four channels (mended: refused, not stored half defined)
                      OrderCase{true, "1,2,3", 1, true, kUnchanged},
                      OrderCase{true, "00,01,02,04", 1, true, kUnchanged},
                      OrderCase{true, "05,01,09,00", 2, true, kUnchanged},
                      // the last entry of a single character is dropped: too few entries
                      OrderCase{true, "00,01,02,3", 1, true, kUnchanged},
                      // off: the identity, whatever the text holds
                      OrderCase{false, "junk", 0, false, {0, 1, 2, 3, 4, 5}}),
    [](const ::testing::TestParamInfo<OrderCase>& c) {
        return (c.param.customOrder ? "" : "Off_") + caseNameFromText(c.param.text.toStdString());
    });

TEST_F(ChannelOrderDialog, GridDrawsChannelThreeFirstAfterTheReversedOrder)
{
    auto dialog = openDialog(kRow, kCol);
    type(*dialog, id::kOrderText, "03,02,01,00");
    click(*dialog, id::kOk);
    EXPECT_EQ(grid.panel(kRow, kCol).order[0].load(), 3);
    EXPECT_EQ(grid.panel(kRow, kCol).order[4].load(), 4); // places past the board keep theirs
}

// A refused order leaves the other settings stored: they were written before it.
TEST_F(ChannelOrderDialog, RefusedOrderKeepsTheOtherSettingsStored)
{
    auto dialog = openDialog(kRow, kCol);
    click(*dialog, id::kCloseAll);
    type(*dialog, id::kOrderText, "07,01,02,00");
    click(*dialog, id::kOk);
    EXPECT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(headArray(kBoard, BoardArray::Mask)[0], 1);
    EXPECT_EQ(headOrder(), kUnchanged);
}

} // namespace
