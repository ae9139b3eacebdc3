// The editable list: which click sequences open an editor, where the text goes, what the
// highlight looks like.
#include "uikit/CEditListCtrl.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using uikit::CEditListCtrl;

class EditListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(500, 300);
        list = new CEditListCtrl(window.get());
        list->setGeometry(10, 10, 400, 200);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 250, 100, 25);
        list->setColumns({"Num", "Row", "Col"}, {55, 55, 55});
        list->setRowCount(3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                list->setCellText(r, c, QString("r%1c%2").arg(r).arg(c));
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        mouseOverList(true);
    }

    void mouseOverList(bool over)
    {
        QCursor::setPos(over ? list->mapToGlobal(QPoint(200, 100)) : window->mapToGlobal(QPoint(450, 280)));
    }

    QPoint cellCentre(int row, int col) const
    {
        return list->visualRect(list->model()->index(row, col)).center();
    }

    // The list commits an Enter after the editor has seen the key, from the event loop.
    void pressEnter()
    {
        QTest::keyClick(list->itemEdit(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    void click(int row, int col)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cellCentre(row, col));
    }

    std::unique_ptr<QWidget> window;
    CEditListCtrl* list = nullptr;
    QLineEdit* other = nullptr;
};

struct ClickCase {
    std::string name;
    std::vector<std::pair<int, int>> clicks;
    bool editorOpen;
    int chosenRow;
    int chosenCol;
};

class EditListClicks : public EditListTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(EditListClicks, SecondClickOnTheSameCellEdits)
{
    const ClickCase& c = GetParam();
    for (const auto& [row, col] : c.clicks)
        click(row, col);
    EXPECT_EQ(list->itemEdit() != nullptr, c.editorOpen);
    EXPECT_EQ(list->editRow(), c.chosenRow);
    EXPECT_EQ(list->editCol(), c.chosenCol);
    EXPECT_TRUE(list->listActive());
}

INSTANTIATE_TEST_SUITE_P(Sequences, EditListClicks,
                         ::testing::Values(ClickCase{"OneClickChooses", {{1, 2}}, false, 1, 2},
                                           ClickCase{"TwoDifferentCells", {{1, 2}, {0, 1}}, false, 0, 1},
                                           ClickCase{"SameRowOtherColumn", {{1, 2}, {1, 1}}, false, 1, 1},
                                           ClickCase{"SameCellTwice", {{1, 2}, {1, 2}}, true, 1, 2},
                                           ClickCase{
                                               "MovedThenSameTwice", {{0, 0}, {2, 1}, {2, 1}}, true, 2, 1}),
                         [](const auto& param) { return param.param.name; });

struct ButtonClick {
    Qt::MouseButton button;
    int row;
    int col;
};

struct ButtonCase {
    std::string name;
    std::vector<ButtonClick> clicks;
    bool editorOpen;
    int chosenRow;
    int chosenCol;
    bool listActive;
    friend void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.name; }
};

class EditListButtons : public EditListTest, public ::testing::WithParamInterface<ButtonCase> {};

// Only the left button chooses and edits; the others leave the choice as it is.
TEST_P(EditListButtons, OnlyTheLeftButtonChoosesAndEdits)
{
    const ButtonCase& c = GetParam();
    for (const ButtonClick& click : c.clicks)
        QTest::mouseClick(list->viewport(), click.button, {}, cellCentre(click.row, click.col));
    EXPECT_EQ(list->itemEdit() != nullptr, c.editorOpen);
    EXPECT_EQ(list->editRow(), c.chosenRow);
    EXPECT_EQ(list->editCol(), c.chosenCol);
    EXPECT_EQ(list->listActive(), c.listActive);
}

constexpr Qt::MouseButton L = Qt::LeftButton;
constexpr Qt::MouseButton R = Qt::RightButton;
constexpr Qt::MouseButton M = Qt::MiddleButton;

INSTANTIATE_TEST_SUITE_P(
    Buttons, EditListButtons,
    ::testing::Values(
        ButtonCase{"RightClickChoosesNothing", {{R, 1, 2}}, false, -1, -1, false},
        ButtonCase{"RightTwiceDoesNotEdit", {{R, 1, 2}, {R, 1, 2}}, false, -1, -1, false},
        ButtonCase{"RightOnTheChosenCellDoesNotEdit", {{L, 1, 2}, {R, 1, 2}}, false, 1, 2, true},
        ButtonCase{"MiddleOnTheChosenCellDoesNotEdit", {{L, 1, 2}, {M, 1, 2}}, false, 1, 2, true},
        ButtonCase{"RightElsewhereKeepsTheChoice", {{L, 1, 2}, {R, 0, 1}}, false, 1, 2, true},
        ButtonCase{
            "LeftEditsAfterARightClickElsewhere", {{L, 1, 2}, {R, 0, 1}, {L, 1, 2}}, true, 1, 2, true}),
    [](const auto& param) { return param.param.name; });

TEST_F(EditListTest, EditorOpensOverTheChosenColumn)
{
    click(1, 2);
    click(1, 2);
    ASSERT_NE(list->itemEdit(), nullptr);
    const QRect cell = list->visualRect(list->model()->index(1, 2));
    EXPECT_EQ(list->itemEdit()->editLeft(), cell.left() + 4);
    EXPECT_EQ(list->itemEdit()->x(), cell.left() + 4);
    EXPECT_EQ(list->itemEdit()->text(), "r1c2");
    // The list may move its editor; it stays at editLeft.
    list->itemEdit()->move(0, list->itemEdit()->y());
    EXPECT_EQ(list->itemEdit()->x(), cell.left() + 4);
}

TEST_F(EditListTest, EnterWritesOnlyTheChosenCellAndKeepsItChosen)
{
    click(1, 2);
    click(1, 2);
    ASSERT_NE(list->itemEdit(), nullptr);
    list->itemEdit()->selectAll();
    QTest::keyClicks(list->itemEdit(), "77");
    pressEnter();
    EXPECT_EQ(list->itemEdit(), nullptr);
    EXPECT_EQ(list->cellText(1, 2), "77");
    EXPECT_EQ(list->cellText(1, 0), "r1c0");
    EXPECT_EQ(list->cellText(1, 1), "r1c1");
    // The mouse is over the list: the cell stays chosen and one more click edits it again.
    EXPECT_TRUE(list->cellChosen());
    EXPECT_EQ(list->editRow(), 1);
    EXPECT_EQ(list->editCol(), 2);
    click(1, 2);
    EXPECT_NE(list->itemEdit(), nullptr);
}

TEST_F(EditListTest, EscapeLeavesTheCell)
{
    click(0, 1);
    click(0, 1);
    ASSERT_NE(list->itemEdit(), nullptr);
    list->itemEdit()->selectAll();
    QTest::keyClicks(list->itemEdit(), "99");
    QTest::keyClick(list->itemEdit(), Qt::Key_Escape);
    EXPECT_EQ(list->itemEdit(), nullptr);
    EXPECT_EQ(list->cellText(0, 1), "r0c1");
}

TEST_F(EditListTest, EndingAnEditWithTheMouseOutsideClearsTheChoice)
{
    click(2, 2);
    click(2, 2);
    ASSERT_NE(list->itemEdit(), nullptr);
    QTest::keyClicks(list->itemEdit(), "5");
    mouseOverList(false);
    pressEnter();
    EXPECT_EQ(list->cellText(2, 2), "5"); // the editor opens with its text selected
    EXPECT_EQ(list->editRow(), -1);
    EXPECT_EQ(list->editCol(), -1);
    EXPECT_FALSE(list->cellChosen());
    EXPECT_FALSE(list->listActive());
}

TEST_F(EditListTest, ClickOnEmptySpaceDropsTheChoiceButNotTheFrame)
{
    click(0, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(380, 180));
    EXPECT_FALSE(list->cellChosen());
    EXPECT_TRUE(list->listActive());
    click(0, 0); // a fresh first click: chosen again, no editor
    EXPECT_EQ(list->itemEdit(), nullptr);
    EXPECT_TRUE(list->cellChosen());
}

TEST_F(EditListTest, FocusLeavingWithTheMouseOutsideClearsEverything)
{
    click(1, 1);
    list->setFocus();
    mouseOverList(false);
    other->setFocus();
    EXPECT_EQ(list->editRow(), -1);
    EXPECT_FALSE(list->cellChosen());
    EXPECT_FALSE(list->listActive());
}

TEST_F(EditListTest, FocusLeavingWithTheMouseOverTheListKeepsTheChoice)
{
    click(1, 1);
    list->setFocus();
    other->setFocus();
    EXPECT_EQ(list->editRow(), 1);
    EXPECT_TRUE(list->cellChosen());
}

TEST_F(EditListTest, HighlightFitsTheText)
{
    list->setCellText(0, 1, QString());
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    const QRect empty = list->highlightRect(0, 1);
    EXPECT_EQ(empty.left(), cell.left() + 4);
    EXPECT_EQ(empty.width(), CEditListCtrl::kEmptyTextWidth + 6);

    list->setCellText(0, 1, "7");
    EXPECT_EQ(list->highlightRect(0, 1).width(), list->fontMetrics().horizontalAdvance("7") + 6);

    list->setCellText(0, 1, QString(40, QChar('W')));
    EXPECT_EQ(list->highlightRect(0, 1).right(), cell.right());
}

TEST_F(EditListTest, LongTextEndsWithAnEllipsis)
{
    list->setCellText(0, 2, QString(40, QChar('8')));
    const QString shown = list->shownText(0, 2);
    EXPECT_LT(shown.size(), 40);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_EQ(list->shownText(0, 0), "r0c0");
}

} // namespace

namespace {

TEST_F(EditListTest, ChosenCellIsPaintedWithItsHighlight)
{
    list->setCellText(1, 1, "1");
    click(1, 1);
    const QRect highlight = list->highlightRect(1, 1);
    const QImage painted = list->viewport()->grab().toImage();
    const QColor highlightColor = list->palette().color(QPalette::Highlight);
    // Inside the frame, before the text starts.
    EXPECT_EQ(painted.pixelColor(QPoint(highlight.left() + 1, highlight.center().y())), highlightColor);
    // Right of the highlight the cell keeps the window colour.
    const QRect cell = list->visualRect(list->model()->index(1, 1));
    ASSERT_LT(highlight.right() + 3, cell.right());
    EXPECT_NE(painted.pixelColor(QPoint(highlight.right() + 3, highlight.center().y())), highlightColor);
}

} // namespace
