// The view puts on the screen only what a tick changed: the cells of the boards that were
// redrawn (and the whole-grid "PASS" when it comes or goes), and the screen always ends up
// showing exactly the frame the renderer built.
#include "display/CColorBar.h"
#include "display/Layout.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using display::BoardGrid;
using display::BoardPanel;
using display::kChannels;

// Collects the regions of the paint events the view receives.
class PaintRecorder : public QObject {
public:
    QRegion painted;
    int events = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++events;
        }
        return false;
    }
};

class RepaintRegion : public testing::Test {
protected:
    static constexpr QSize kSize{801, 601};

    GridCounts counts{2, 2};
    BoardGrid grid{counts};
    QWidget window;
    CColorBar* view = new CColorBar(grid, &window);
    PaintRecorder recorder;

    void SetUp() override
    {
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) {
                BoardPanel& p = grid.panel(r, c);
                p.setChannelCount(16);
                p.setViewRange(2000, 0);
                for (int k = 0; k < kChannels; ++k) {
                    p.reference[k] = 1000;
                    p.thresholdHigh[k] = 1400;
                    p.thresholdLow[k] = 600;
                    p.raw[k] = static_cast<std::uint16_t>(1000 + k);
                }
            }
        window.resize(kSize);
        view->setGeometry(QRect(QPoint(0, 0), kSize));
        window.show();
        settle();
        view->installEventFilter(&recorder);
    }

    // One tick of the repaint timer, then everything it asked of the screen.
    void tick()
    {
        view->repaintFrame();
        QApplication::processEvents();
    }
    void settle()
    {
        tick();
        tick();
        recorder.painted = QRegion();
        recorder.events = 0;
    }

    QRect cellInterior(int row, int col) const
    {
        const display::GridLayout layout{kSize.width(), kSize.height(), counts.rows(), counts.cols(), true};
        const display::PixelRect r = layout.cell(row, col, 16).interior();
        return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    }

    // What the screen shows of the view.
    QImage screen() const
    {
        return QApplication::primaryScreen()
            ->grabWindow(window.winId(), 0, 0, kSize.width(), kSize.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

struct RegionCase {
    std::string name;
    std::function<void(BoardGrid&)> change;
    std::vector<std::pair<int, int>> cells; // the cells that must be painted, and nothing else
    friend void PrintTo(const RegionCase& c, std::ostream* os) { *os << c.name; }
};

std::string describe(const QRegion& region)
{
    std::string text;
    for (const QRect& r : region)
        text += "(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
                "x" + std::to_string(r.height()) + ")";
    return text.empty() ? "nothing" : text;
}

class RepaintRegionCases : public RepaintRegion, public testing::WithParamInterface<RegionCase> {};

TEST_P(RepaintRegionCases, OnlyTheChangedBoardsArePainted)
{
    const RegionCase& c = GetParam();
    c.change(grid);
    tick();
    QRegion expected;
    for (const auto& [row, col] : c.cells)
        expected += cellInterior(row, col);
    EXPECT_TRUE(recorder.painted == expected)
        << "painted " << describe(recorder.painted) << ", expected " << describe(expected);
}

void newCounts(BoardPanel& p, int offset)
{
    for (int k = 0; k < kChannels; ++k)
        p.raw[k] = static_cast<std::uint16_t>(1000 + offset + k);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, RepaintRegionCases,
    testing::Values(RegionCase{"IdleTickPaintsNothing", [](BoardGrid&) {}, {}},
                    RegionCase{
                        "NewCountsOnOneBoard", [](BoardGrid& g) { newCounts(g.panel(1, 0), 7); }, {{1, 0}}},
                    RegionCase{"NewCountsOnTwoBoards",
                               [](BoardGrid& g) {
                                   newCounts(g.panel(0, 1), 3);
                                   newCounts(g.panel(1, 1), 5);
                               },
                               {{0, 1}, {1, 1}}},
                    RegionCase{"SameCountsAgain", [](BoardGrid& g) { newCounts(g.panel(0, 0), 0); }, {}}),
    [](const auto& param) { return param.param.name; });

TEST_F(RepaintRegion, AViewSettingPaintsEverything)
{
    grid.excessIndication = true;
    tick();
    EXPECT_TRUE(recorder.painted == QRegion(QRect(QPoint(0, 0), kSize))) << describe(recorder.painted);
}

// A board that starts failing takes the whole-grid "PASS" away: its letters lie over every cell.
TEST_F(RepaintRegion, TheOverlayComingAndGoingIsPaintedWhereItLies)
{
    const QImage before = view->frame().copy();
    grid.panel(0, 0).raw[3] = 1900;
    tick();
    const QImage after = view->frame().copy();
    ASSERT_NE(before, after);
    for (int y = 0; y < kSize.height(); ++y)
        for (int x = 0; x < kSize.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                ASSERT_TRUE(recorder.painted.contains(QPoint(x, y)))
                    << x << "," << y << " changed, not painted";
    EXPECT_LT(recorder.painted.boundingRect().height(), kSize.height());
}

// Whatever the ticks painted or skipped, the screen shows the renderer's frame.
TEST_F(RepaintRegion, TheScreenShowsTheFrameAfterEveryTick)
{
    std::mt19937 rng(1210);
    for (int t = 0; t < 40; ++t) {
        const int r = static_cast<int>(rng() % 2), c = static_cast<int>(rng() % 2);
        switch (rng() % 4) {
        case 0:
            grid.panel(r, c).raw[rng() % 16] = static_cast<std::uint16_t>(rng() % 2000);
            break;
        case 1:
            newCounts(grid.panel(r, c), static_cast<int>(rng() % 300));
            break;
        case 2:
            grid.ClearExcess();
            break;
        default:
            break;
        }
        tick();
        ASSERT_EQ(screen(), view->frame()) << "tick " << t;
    }
}

} // namespace
