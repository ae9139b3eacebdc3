// The status bar's panes: fill modes, alignment, text placement, re-allocation, progress span.
#include "display/CStatusBarEx.h"
#include "uikit/ControlId.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <string>

namespace {

using Pane = CStatusBarEx::Pane;

const QColor kBarBackground(240, 240, 240);

QImage drawn(const Pane& pane, QSize size = {120, 24})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBarBackground);
    QPainter painter(&image);
    CStatusBarEx::drawPane(painter, QRect(QPoint(0, 0), size), pane);
    return image;
}

Pane ownerDrawn(int fillMode, int alignment, const QString& label)
{
    Pane p;
    p.fillMode = fillMode;
    p.fillColor = QColor(255, 0, 0);
    p.labelColor = QColor(0, 0, 255);
    p.label = label;
    p.alignment = alignment;
    p.ownerDrawn = true;
    return p;
}

TEST(StatusPane, FillModeNoneKeepsTheBarsBackground)
{
    const QImage image = drawn(ownerDrawn(CStatusBarEx::FillNone, 1, QString()));
    EXPECT_EQ(image.pixelColor(0, 0), kBarBackground);
    EXPECT_EQ(image.pixelColor(60, 12), kBarBackground);
}

TEST(StatusPane, PlainFillCoversThePane)
{
    const QImage image = drawn(ownerDrawn(CStatusBarEx::FillPlain, 1, QString()));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(119, 23), QColor(255, 0, 0));
}

TEST(StatusPane, HatchedPaneIsOutlinedAndHatchedInside)
{
    const QImage image = drawn(ownerDrawn(CStatusBarEx::FillHatched, 1, QString()));
    EXPECT_EQ(image.pixelColor(0, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(119, 5), QColor(Qt::black));
    bool hatch = false;
    bool gap = false;
    for (int x = 1; x < 119; ++x) {
        hatch |= image.pixelColor(x, 10) == QColor(155, 155, 155);
        gap |= image.pixelColor(x, 10) == kBarBackground;
    }
    EXPECT_TRUE(hatch);
    EXPECT_TRUE(gap); // the hatch is transparent between its lines
}

TEST(StatusPane, AlignmentOneDrawsNoText)
{
    const QImage withText = drawn(ownerDrawn(CStatusBarEx::FillPlain, 0, QStringLiteral("已连接")));
    const QImage withoutText = drawn(ownerDrawn(CStatusBarEx::FillPlain, 1, QStringLiteral("已连接")));
    EXPECT_NE(withText, withoutText);
    EXPECT_EQ(withoutText, drawn(ownerDrawn(CStatusBarEx::FillPlain, 1, QString())));
    EXPECT_FALSE(CStatusBarEx::labelOrigin(QRect(0, 0, 100, 20), ownerDrawn(0, 1, "x"), 10).has_value());
    EXPECT_FALSE(CStatusBarEx::labelOrigin(QRect(0, 0, 100, 20), ownerDrawn(0, 3, "x"), 10).has_value());
}

struct OriginCase {
    std::string name;
    int fillMode;
    int alignment;
    int labelWidth;
    QPoint expected;
};

class LabelOriginTest : public testing::TestWithParam<OriginCase> {};

TEST_P(LabelOriginTest, TextStartsWhereThePaneSays)
{
    const OriginCase& c = GetParam();
    const auto origin = CStatusBarEx::labelOrigin(QRect(100, 3, 90, 20),
                                                  ownerDrawn(c.fillMode, c.alignment, "x"), c.labelWidth);
    ASSERT_TRUE(origin.has_value());
    EXPECT_EQ(*origin, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelOriginTest,
    testing::Values(
        OriginCase{"LeftOneInside", CStatusBarEx::FillPlain, 0, 30, {101, 3}},
        OriginCase{"HatchedLeftTwoInside", CStatusBarEx::FillHatched, 0, 30, {102, 4}},
        OriginCase{"RightTwoFromTheEdge", CStatusBarEx::FillPlain, 2, 30, {100 + 90 - 30 - 2, 3}},
        OriginCase{
            "RightWiderThanThePaneStartsLeftOfIt", CStatusBarEx::FillPlain, 2, 200, {100 + 90 - 200 - 2, 3}}),
    [](const testing::TestParamInfo<OriginCase>& tp) { return tp.param.name; });

TEST(StatusPane, InitialTextUntilTheFirstUpdate)
{
    QMainWindow window;
    auto* bar = new CStatusBarEx(&window);
    window.setStatusBar(bar);
    bar->AllocatePanes(3);
    EXPECT_EQ(bar->pane(0).initialText, QStringLiteral(">"));
    EXPECT_EQ(bar->pane(1).initialText, QStringLiteral("请插入设备"));
    EXPECT_NE(uikit::findControl(bar, 105), nullptr); // panes carry their ids 102, 104, 105
    EXPECT_FALSE(bar->pane(1).ownerDrawn);
    bar->SetPaneFillMode(1, CStatusBarEx::FillHatched);
    EXPECT_TRUE(bar->pane(1).ownerDrawn);
}

TEST(StatusBar, AllocatePanesAgainDropsEveryAttribute)
{
    QMainWindow window;
    auto* bar = new CStatusBarEx(&window);
    window.setStatusBar(bar);
    bar->AllocatePanes(3);
    bar->SetPaneLabel(0, QStringLiteral("已连接"));
    bar->SetPaneLabelColor(0, QColor(0, 0, 255));
    bar->SetPaneFillColor(0, QColor(0, 255, 0));
    bar->SetPaneFillMode(0, CStatusBarEx::FillPlain);
    bar->SetPaneLabelAlign(2, CStatusBarEx::AlignRight);
    bar->SetPaneLabel(7, QStringLiteral("ignored")); // no such pane
    bar->AllocatePanes(3);
    EXPECT_EQ(bar->paneCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(bar->pane(i).label.isEmpty());
        EXPECT_EQ(bar->pane(i).fillMode, CStatusBarEx::FillNone);
        EXPECT_EQ(bar->pane(i).alignment, CStatusBarEx::AlignLeft);
        EXPECT_EQ(bar->pane(i).labelColor, QColor(Qt::black));
        EXPECT_FALSE(bar->pane(i).ownerDrawn);
    }
    EXPECT_EQ(bar->findChildren<QWidget*>().size(), 4); // three panes and the progress control
}

TEST(StatusBar, ProgressLiesAcrossPanesZeroAndOne)
{
    QMainWindow window;
    auto* bar = new CStatusBarEx(&window);
    window.setStatusBar(bar);
    bar->AllocatePanes(3);
    bar->setPaneWidth(0, 90);
    bar->setPaneWidth(1, 350);
    bar->setPaneWidth(2, 200, true);
    window.resize(900, 300);
    window.show();
    QApplication::processEvents();
    QProgressBar* progress = uikit::findControl<QProgressBar>(bar, CStatusBarEx::kProgressId);
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->isVisible());
    bar->setProgressVisible(true);
    const QRect a = bar->paneRect(0);
    const QRect b = bar->paneRect(1);
    EXPECT_EQ(progress->geometry().left(), a.left() + 2);
    EXPECT_EQ(progress->geometry().top(), a.top());
    EXPECT_EQ(progress->width(), a.width() + b.width() - a.left());
    EXPECT_TRUE(progress->isVisible());
}

} // namespace
