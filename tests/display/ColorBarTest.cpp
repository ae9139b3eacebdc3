// The view widget: attaching to its placeholder, the preview's double-click mode cycling, and the
// main window's view letting the mouse through.
#include "display/CColorBar.h"
#include "uikit/ControlId.h"

#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>

namespace {

using display::BoardGrid;

class ColorBarTest : public testing::Test {
protected:
    GridCounts counts{1, 1};
    BoardGrid grid{counts};
    QWidget window;
    QWidget* placeholder = new QWidget(&window);

    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(placeholder);
        uikit::setControlId(placeholder, 1015);
        window.resize(641, 401);
        window.show();
    }
};

TEST_F(ColorBarTest, AttachTakesThePlaceholdersPlaceOnce)
{
    auto* view = new CColorBar(grid);
    EXPECT_FALSE(view->Attach(&window, 1234)); // no such control
    ASSERT_TRUE(view->Attach(&window, 1015));
    QApplication::processEvents();
    EXPECT_EQ(uikit::findControl<CColorBar>(&window, 1015), view);
    EXPECT_EQ(view->parentWidget(), &window);
    EXPECT_EQ(view->size(), QSize(641, 401));
    EXPECT_TRUE(view->Attach(&window, 1015)); // a second call does nothing
    EXPECT_EQ(view->parentWidget(), &window);
}

struct CycleCase {
    std::string name;
    std::uint8_t before;
    std::uint8_t after;
};

class ModeCycleTest : public ColorBarTest, public testing::WithParamInterface<CycleCase> {};

TEST_P(ModeCycleTest, DoubleClickStepsTheModeOfTheChannelShownInTheSlot)
{
    auto* view = new CColorBar(grid, &window);
    view->resize(641, 401);
    view->setModeCycling(true);
    display::BoardPanel& p = grid.panel(0, 0);
    p.setChannelCount(8);
    p.order[2] = 5; // slot 2 shows channel 5
    p.mask[5] = GetParam().before;
    // Slot 2 of 8 in a 640-pixel cell covers x 162..238.
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(200, 100), QPointF(200, 100), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
    EXPECT_EQ(view->hitSlot(), 2);
    EXPECT_EQ(p.mask[5].load(), GetParam().after);
    EXPECT_EQ(p.mask[2].load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModeCycleTest,
                         testing::Values(CycleCase{"OpenToClosed", 0, 1}, CycleCase{"ClosedToMasked", 1, 2},
                                         CycleCase{"MaskedToLowerOnly", 2, 4},
                                         CycleCase{"LowerOnlyToUpperOnly", 4, 8},
                                         CycleCase{"UpperOnlyToOpen", 8, 0},
                                         CycleCase{"UndefinedModeStays", 3, 3}),
                         [](const testing::TestParamInfo<CycleCase>& tp) { return tp.param.name; });

TEST_F(ColorBarTest, DoubleClickOnAnOrderEntryBeyondTheChannelsChangesNothing)
{
    auto* view = new CColorBar(grid, &window);
    view->resize(641, 401);
    view->setModeCycling(true);
    display::BoardPanel& p = grid.panel(0, 0);
    p.setChannelCount(8);
    p.order[2] = 64;
    view->cycleModeAt(200, 100, 0);
    for (int k = 0; k < display::kChannels; ++k)
        EXPECT_EQ(p.mask[k].load(), 0);
}

TEST_F(ColorBarTest, DoubleClickOutsideTheStorageChangesNothing)
{
    auto* view = new CColorBar(grid, &window);
    view->resize(641, 401);
    view->setModeCycling(true);
    view->cycleModeAt(3000, 2000, 0); // a 1 x 1 grid: column 4, row 4
    EXPECT_GT(view->hitCol(), 3);
    EXPECT_GT(view->hitRow(), 3);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < display::kChannels; ++k)
                ASSERT_EQ(grid.panel(r, c).mask[k].load(), 0);
}

TEST_F(ColorBarTest, MainWindowViewLetsTheMouseThroughAndNeverCycles)
{
    auto* view = new CColorBar(grid, &window);
    view->resize(641, 401);
    EXPECT_TRUE(view->testAttribute(Qt::WA_TransparentForMouseEvents));
    grid.panel(0, 0).setChannelCount(8);
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(200, 100), QPointF(200, 100), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
    EXPECT_EQ(grid.panel(0, 0).mask[2].load(), 0);
}

TEST_F(ColorBarTest, RepaintRunsTheHitTestWithTheStoredMousePoint)
{
    auto* view = new CColorBar(grid, &window);
    view->resize(641, 401);
    grid.panel(0, 0).setChannelCount(8);
    view->SetMousePoint(500, 50, 0);
    view->repaintFrame();
    EXPECT_EQ(view->hitSlot(), 6);
    EXPECT_EQ(view->frame().size(), QSize(641, 401));
}

} // namespace
