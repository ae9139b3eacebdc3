// Pixel probes on rendered frames: zones, bars by mode and switch, reference mark, closed cover,
// banners, the whole-grid overlay, the empty grid, and the excess latch.
#include "RenderSupport.h"
#include "display/BoardPainter.h"
#include "display/Layout.h"
#include "setup/ChannelMode.h"

#include <gtest/gtest.h>

#include <string>

namespace display {
namespace {

using namespace test;
using namespace palette;

// Mode values; the palette has colours of the same names.
constexpr std::uint8_t mOpen = 0, mClosed = 1, mMasked = 2, mLowerOnly = 4, mUpperOnly = 8;

// One board of eight channels in a 641 x 401 view: cells 640 x 400, slots 80 pixels wide, the
// bar area from row 3 for 324 rows; with the view range 0..1000 a count v lies 0.324 * (1000 - v)
// rows below its top.
class RenderTest : public testing::Test {
protected:
    static constexpr int kW = 641;
    static constexpr int kH = 401;
    GridCounts counts{1, 1};
    BoardGrid grid{counts};
    GridRenderer renderer;

    void SetUp() override
    {
        BoardPanel& p = grid.panel(0, 0);
        p.setChannelCount(8);
        p.setViewRange(1000, 0);
        for (int ch = 0; ch < 8; ++ch)
            setChannel(p, ch, mOpen, 500, 800, 200, 600);
    }

    BoardPanel& board() { return grid.panel(0, 0); }
    // The main view paints what the acquisition cycle judged: judge first, as a cycle would.
    const QImage& render()
    {
        if (grid.bannerShown.load())
            evaluateVerdicts(grid);
        return renderer.render(grid, {kW, kH});
    }
    CellLayout cell() const { return GridLayout{kW, kH, 1, 1, grid.bannerShown.load()}.cell(0, 0, 8); }
    // A rectangle of the bar of slot i between the given rows, clear of the slot's numbers only in
    // rows 170..230 (the raw count reads up from the bottom, the difference down from the top).
    PixelRect bar(int i, int top = 170, int bottom = 230) const
    {
        const SlotExtents s = cell().slot(i);
        return {s.barLeft, top, s.barRight, bottom};
    }
};

TEST_F(RenderTest, ZonesBandAndReferenceMark)
{
    const QImage& image = render();
    const int x = cell().slot(0).x1 + 1;         // left of the bar and of the numbers
    EXPECT_EQ(pixel(image, x, 10), kUpperZone);  // above 800: rows 3..67
    EXPECT_EQ(pixel(image, x, 100), kBand);      // between the thresholds
    EXPECT_EQ(pixel(image, x, 300), kLowerZone); // below 200: rows 262..327
    // Reference 600: level 129.6, the mark covers rows 130 and 131.
    EXPECT_EQ(pixel(image, x, 129), kBand);
    EXPECT_EQ(pixel(image, x, 130), kReference);
    EXPECT_EQ(pixel(image, x, 131), kReference);
    EXPECT_EQ(pixel(image, x, 132), kBand);
}

TEST_F(RenderTest, ThresholdAtOrAboveViewRangeMaxDrawsNoUpperZone)
{
    board().thresholdHigh[0] = 1000;
    board().thresholdLow[1] = 1200;
    const QImage& image = render();
    EXPECT_EQ(pixel(image, cell().slot(0).x1 + 1, 10), kBand);
    EXPECT_FALSE(contains(image, {cell().slot(1).x1, 3, cell().slot(1).x1 + 3, 327}, kLowerZone));
}

TEST_F(RenderTest, ReferenceMarkAtTheLimitsOfTheRange)
{
    board().reference[0] = 1000; // at the top: level 0, no mark
    board().reference[1] = 0;    // at the bottom: just above the bottom of the bar area
    const QImage& image = render();
    EXPECT_FALSE(contains(image, {cell().slot(0).x1, 3, cell().slot(0).x1 + 3, 327}, kReference));
    const int x = cell().slot(1).x1 + 1;
    EXPECT_EQ(pixel(image, x, 325), kReference);
    EXPECT_EQ(pixel(image, x, 326), kReference);
}

TEST_F(RenderTest, CountsOutsideTheRangeStayInsideTheBarArea)
{
    board().raw[0] = 65535;
    board().thresholdHigh[0] = 65535;
    board().raw[1] = 0;
    const QImage& image = render();
    const QRgb pass = toQRgb(ColorScheme{}.passColor);
    EXPECT_EQ(pixel(image, cell().slot(0).barLeft, 3), pass); // top row of the bar area
    EXPECT_NE(pixel(image, cell().slot(0).barLeft, 2), pass);
    EXPECT_FALSE(contains(image, {cell().slot(1).barLeft, 0, cell().slot(1).barRight, 400}, pass));
}

TEST_F(RenderTest, EmptyViewRangeDrawsEverythingAtTheBottom)
{
    board().setViewRange(700, 700);
    const QImage& image = render();
    const QRgb pass = toQRgb(ColorScheme{}.passColor);
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, pass));
    // Both thresholds lie at the bottom: the whole bar area is above the upper one.
    const int x = cell().slot(0).x1 + 1;
    EXPECT_EQ(pixel(image, x, 3), kUpperZone);
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kLowerZone));
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kBand));
    EXPECT_EQ(pixel(image, x, 325), kReference);
}

struct BarCase {
    std::string name;
    std::uint8_t mode;
    std::uint16_t raw;
    std::uint16_t high;
    std::uint16_t low;
    std::uint8_t colorFlags;
    bool excessLatched;
    QRgb expected;
};

class BarStyleTest : public RenderTest, public testing::WithParamInterface<BarCase> {};

TEST_P(BarStyleTest, BarColour)
{
    const BarCase& c = GetParam();
    ColorScheme scheme;
    scheme.colorFlags = c.colorFlags;
    grid.setColorScheme(scheme);
    grid.excessIndication = true;
    setChannel(board(), 2, c.mode, c.raw, c.high, c.low, 600);
    board().excess[2] = c.excessLatched ? 1 : 0;
    const QImage& image = render();
    EXPECT_TRUE(contains(image, bar(2), c.expected));
    // Only the bar colour and the slot's numbers (for judged modes) in the probe rows.
    EXPECT_TRUE(onlyColors(image, bar(2), {c.expected, kRawText, kDiffHigh, kDiffLow, kDiffPass}));
}

constexpr std::uint8_t kAllCustom = 0x07;
const ColorScheme kDefaults;

INSTANTIATE_TEST_SUITE_P(
    Cases, BarStyleTest,
    testing::Values(BarCase{"OpenPass", mOpen, 500, 800, 200, kAllCustom, false, toQRgb(kDefaults.passColor)},
                    BarCase{"OpenHigh", mOpen, 900, 800, 200, kAllCustom, false, toQRgb(kDefaults.highColor)},
                    BarCase{"OpenLow", mOpen, 600, 800, 700, kAllCustom, false, toQRgb(kDefaults.lowColor)},
                    BarCase{"OpenLatched", mOpen, 500, 800, 200, kAllCustom, true,
                            toQRgb(kDefaults.excessColor)},
                    BarCase{"Masked", mMasked, 500, 800, 200, kAllCustom, false, toQRgb(kDefaults.maskColor)},
                    BarCase{"LowerOnlyIsMagenta", mLowerOnly, 900, 800, 200, 0, false, kLowerOnly},
                    BarCase{"UpperOnlyIsYellow", mUpperOnly, 500, 800, 700, 0, false, kUpperOnly}),
    [](const testing::TestParamInfo<BarCase>& tp) { return tp.param.name; });

// With the switches clear the bars are gradients: white at the bottom, the style's colour at the
// top. A full-height bar shows the top colour exactly in its first row.
struct GradientCase {
    std::string name;
    std::uint16_t high;
    std::uint16_t low;
    bool latched;
    QRgb top;
};

class GradientTest : public RenderTest, public testing::WithParamInterface<GradientCase> {};

TEST_P(GradientTest, TopRowHasTheStyleColour)
{
    const GradientCase& c = GetParam();
    ColorScheme scheme;
    scheme.colorFlags = 0;
    grid.setColorScheme(scheme);
    grid.excessIndication = true;
    setChannel(board(), 3, mOpen, 1000, c.high, c.low, 500);
    board().excess[3] = c.latched ? 1 : 0;
    const QImage& image = render();
    const SlotExtents s = cell().slot(3);
    EXPECT_EQ(pixel(image, s.barLeft, 3), c.top);
    const QRgb bottom = pixel(image, s.barLeft, 326);
    EXPECT_GT(qRed(bottom), 240);
    EXPECT_GT(qGreen(bottom), 240);
}

INSTANTIATE_TEST_SUITE_P(Cases, GradientTest,
                         testing::Values(GradientCase{"Pass", 1000, 0, false, kPassTop},
                                         GradientCase{"High", 900, 0, false, kHighTop},
                                         GradientCase{"Low", 2000, 1500, false, kLowTop},
                                         GradientCase{"Excess", 1000, 0, true, kExcessTop}),
                         [](const testing::TestParamInfo<GradientCase>& tp) { return tp.param.name; });

TEST_F(RenderTest, MaskedWithoutCustomColourIsAHorizontalWhiteToBlackGradient)
{
    ColorScheme scheme;
    scheme.colorFlags = 0;
    grid.setColorScheme(scheme);
    board().mask[4] = mMasked;
    const QImage& image = render();
    const SlotExtents s = cell().slot(4);
    EXPECT_EQ(pixel(image, s.barLeft, 250), kWhite);
    EXPECT_LT(qRed(pixel(image, s.barRight - 1, 250)), 20);
    EXPECT_FALSE(contains(image, {s.x1, 3, s.x2, 327}, kRawText)); // no numbers on a masked channel
}

TEST_F(RenderTest, ClosedChannelIsCoveredAndItsLabelHatched)
{
    board().mask[5] = mClosed;
    const QImage& image = render();
    const SlotExtents s = cell().slot(5);
    EXPECT_TRUE(onlyColors(image, {s.x1, 3, s.x2, cell().yBot}, {kClosed}));
    const PixelRect label = cell().labelRect(5);
    const PixelRect inside{label.left + 1, label.top + 1, label.right - 1, label.bottom - 1};
    EXPECT_TRUE(contains(image, inside, kHatch));
    EXPECT_TRUE(onlyColors(image, inside, {kHatch, kWhite, kLabelText}));
}

TEST_F(RenderTest, OrderEntryBeyondTheChannelsLeavesTheSlotEmpty)
{
    board().order[6] = 200;
    const QImage& image = render();
    const SlotExtents s = cell().slot(6);
    EXPECT_TRUE(onlyColors(image, {s.x1, 3, s.x2, cell().yBot}, {kWhite}));
}

TEST_F(RenderTest, OneChannelBoardDrawsASecondSlotForOrderOne)
{
    board().setChannelCount(1);
    setChannel(board(), 1, mUpperOnly, 500, 800, 200, 600);
    const QImage& image = render();
    const CellLayout oneChannel = GridLayout{kW, kH, 1, 1, true}.cell(0, 0, 1);
    const SlotExtents s = oneChannel.slot(1);
    EXPECT_TRUE(contains(image, {s.barLeft, 170, s.barRight, 230}, kUpperOnly));
}

struct BannerCase {
    std::string name;
    std::function<void(BoardPanel&)> setup;
    QRgb fill;
};

class BannerTest : public RenderTest, public testing::WithParamInterface<BannerCase> {};

TEST_P(BannerTest, FillOfTheVerdict)
{
    GetParam().setup(board());
    const QImage& image = render();
    const PixelRect strip = cell().bannerStrip();
    // The strip's left end, left of the text, inset by 2 inside the frame.
    const PixelRect probe{strip.left + 2, strip.top + 2, strip.left + 18, strip.bottom - 2};
    if (GetParam().fill == kHatch) {
        EXPECT_TRUE(contains(image, probe, kHatch));
        EXPECT_TRUE(onlyColors(image, probe, {kHatch, kWhite}));
    } else {
        EXPECT_TRUE(onlyColors(image, probe, {GetParam().fill}));
    }
    EXPECT_EQ(pixel(image, strip.left, strip.top + 5), kGridPen); // the frame
}

INSTANTIATE_TEST_SUITE_P(Cases, BannerTest,
                         testing::Values(BannerCase{"Pass", [](BoardPanel&) {}, kBannerPass},
                                         BannerCase{"Fail", [](BoardPanel& p) { p.raw[63] = 9; },
                                                    kBannerFail},
                                         BannerCase{"Load",
                                                    [](BoardPanel& p) {
                                                        for (auto& m : p.mask)
                                                            m = mClosed;
                                                    },
                                                    kHatch}),
                         [](const testing::TestParamInfo<BannerCase>& tp) { return tp.param.name; });

TEST_F(RenderTest, NoBannerInThePreviewAndFailCountKept)
{
    grid.bannerShown = false;
    grid.failCount = 3;
    board().raw[0] = 9000;
    const QImage& image = render();
    EXPECT_EQ(grid.failCount.load(), 3);
    const CellLayout c = cell();
    EXPECT_EQ(c.ext, 50);
    EXPECT_FALSE(contains(image, {0, c.labelStrip().bottom, kW, kH - 1}, kBannerFail));
    // The bars reach into the banner's space.
    EXPECT_TRUE(
        contains(image, {c.slot(1).barLeft, 340, c.slot(1).barRight, 376}, toQRgb(kDefaults.passColor)));
}

TEST(EmptyGridTest, UniformGreyAndFailCountZero)
{
    GridCounts counts{0, 0};
    BoardGrid grid{counts};
    grid.failCount = 4;
    GridRenderer renderer;
    evaluateVerdicts(grid);
    const QImage& image = renderer.render(grid, {300, 200});
    EXPECT_TRUE(onlyColors(image, {0, 0, 300, 200}, {kGridPen}));
    EXPECT_EQ(grid.failCount.load(), 0);
}

// Every pixel of a frame is drawn: no part of the picture is left as it was in memory.
TEST(WholeFrameTest, EveryPixelComesFromThePalette)
{
    for (const QSize size : {QSize(803, 457), QSize(1920, 1000), QSize(37, 29)}) {
        GridCounts counts{3, 4};
        BoardGrid grid{counts};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                for (int k = 0; k < kChannels; ++k)
                    grid.panel(r, c).mask[k] = 1; // closed: grey covers, hatched labels, LOAD banners
        evaluateVerdicts(grid);
        GridRenderer renderer;
        const QImage& image = renderer.render(grid, size);
        // The boards all load, so no board fails and the green "PASS" lies over the grid.
        const auto green = [](QRgb c) { return c & 0xFF00FF00u; };
        EXPECT_TRUE(onlyColors(image, {0, 0, size.width(), size.height()},
                               {kWhite, kGridPen, kClosed, kHatch, kLabelText, kBannerLoadText, green(kWhite),
                                green(kGridPen), green(kClosed), green(kHatch), green(kLabelText),
                                green(kBannerLoadText)}))
            << size.width() << "x" << size.height();
    }
}

// The overlay: with the banner off failCount keeps whatever it holds, so the same picture can be
// rendered with and without it.
class OverlayTest : public testing::Test {
protected:
    GridCounts counts{1, 2};
    BoardGrid grid{counts};
    GridRenderer renderer;

    QImage renderWithFailCount(int failCount)
    {
        grid.bannerShown = false;
        grid.failCount = failCount;
        renderer.invalidate();
        return renderer.render(grid, {900, 500}).copy();
    }
};

TEST_F(OverlayTest, LettersKeepOnlyTheGreenOfThePicture)
{
    for (int c = 0; c < 2; ++c)
        grid.panel(0, c).setChannelCount(16);
    const QImage plain = renderWithFailCount(1);
    const QImage covered = renderWithFailCount(0);
    int whiteTurnedGreen = 0;
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb before = pixel(plain, x, y);
            const QRgb after = pixel(covered, x, y);
            if (before == after)
                continue;
            ++changed;
            ASSERT_EQ(after, before & 0xFF00FF00u) << x << "," << y;
            whiteTurnedGreen += before == kWhite ? 1 : 0;
        }
    EXPECT_GT(whiteTurnedGreen, 100);
    EXPECT_GT(changed, whiteTurnedGreen - 1);
    EXPECT_EQ(pixel(covered, 5, 5), pixel(plain, 5, 5)); // outside the letters
    EXPECT_EQ(pixel(covered, 895, 495), pixel(plain, 895, 495));
}

TEST_F(OverlayTest, NoOverlayWithOneColumn)
{
    counts.set(1, 1);
    EXPECT_EQ(renderWithFailCount(0), renderWithFailCount(1));
}

class ExcessLatchTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        setChannel(board(), 0, mOpen, 900, 800, 200, 600); // above its upper threshold
    }
    QRgb barColour() { return render(), pixel(renderer.frame(), bar(0).left, 200); }
};

TEST_F(ExcessLatchTest, LatchedOnTheFirstRepaintDrawnInExcessStyleOnTheNext)
{
    grid.excessIndication = true;
    EXPECT_EQ(barColour(), toQRgb(kDefaults.highColor));
    EXPECT_EQ(board().excess[0].load(), 1);
    board().raw[0] = 500; // back within the thresholds
    EXPECT_EQ(barColour(), toQRgb(kDefaults.excessColor));
    EXPECT_EQ(pixel(renderer.frame(), cell().labelRect(0).left + 3, cell().labelRect(0).bottom - 1),
              kLabelPass);
}

TEST_F(ExcessLatchTest, WithoutIndicationTheBarFollowsTheCount)
{
    grid.excessIndication = false;
    barColour();
    EXPECT_EQ(board().excess[0].load(), 1);
    board().raw[0] = 500;
    EXPECT_EQ(barColour(), toQRgb(kDefaults.passColor));
}

TEST_F(ExcessLatchTest, LowerOnlyAboveUpperIsLatchedToo)
{
    board().mask[0] = mLowerOnly;
    barColour();
    EXPECT_EQ(board().excess[0].load(), 1);
    EXPECT_EQ(pixel(renderer.frame(), cell().labelRect(0).left + 3, cell().labelRect(0).bottom - 1),
              kLabelHigh);
}

TEST_F(ExcessLatchTest, ReleasedWhenEveryJudgedChannelIsLatchedAndNoBoardFails)
{
    for (int ch = 1; ch < 8; ++ch)
        board().raw[ch] = 900; // every channel crosses its upper threshold: the board fails
    render();
    EXPECT_EQ(grid.failCount.load(), 1);
    EXPECT_EQ(board().excess[7].load(), 1);
    for (int ch = 0; ch < 8; ++ch)
        board().raw[ch] = 500;
    render(); // every judged channel latched, no failure: released at the end of this repaint
    EXPECT_EQ(grid.failCount.load(), 0);
    for (int ch = 0; ch < 8; ++ch)
        EXPECT_EQ(board().excess[ch].load(), 0) << ch;
}

TEST_F(ExcessLatchTest, ClearExcessReleasesAtOnce)
{
    render();
    grid.ClearExcess();
    EXPECT_EQ(board().excess[0].load(), 0);
}

// What the view shows of a board it has no judgement for: the words are its own, the colours of
// PASS and FAIL never appear, and no Pearson percentage is drawn.
struct UnjudgedCase {
    const char* name;
    BoardVerdict published;
    std::int64_t ageMs; // of the counts the verdict was judged on
    QRgb banner;
};

class UnjudgedBannerTest : public RenderTest, public testing::WithParamInterface<UnjudgedCase> {};

TEST_P(UnjudgedBannerTest, ShowsNoVerdict)
{
    const UnjudgedCase& c = GetParam();
    board().setPearsonCheck(true, 0.5);
    for (int ch = 0; ch < 8; ++ch)
        board().raw[ch] = 0; // what a board shows before its first counts
    publishVerdict(board(), c.published, 0.0, steadyMillis() - c.ageMs);
    const QImage& image = renderer.render(grid, {kW, kH});
    const CellLayout l = cell();
    const PixelRect strip = l.bannerStrip();
    const PixelRect inner{strip.left + 2, strip.top + 2, strip.right - 2, strip.bottom - 2};
    EXPECT_TRUE(contains(image, inner, c.banner));
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kBannerPass));
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kBannerFail));
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kPearsonBad)) << "a percentage of counts never judged";
    EXPECT_FALSE(contains(image, {0, 0, kW, kH}, kPearsonGood));
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, UnjudgedBannerTest,
    testing::Values(
        UnjudgedCase{"Loading", BoardVerdict::Loading, 0, kBannerLoading},
        UnjudgedCase{"NotMeasured", BoardVerdict::NotMeasured, 0, kBannerNotMeasured},
        UnjudgedCase{"PassOnCountsOlderThanOneSecond", BoardVerdict::Pass, 1500, kBannerNotMeasured},
        UnjudgedCase{"FailOnCountsOlderThanOneSecond", BoardVerdict::Fail, 1500, kBannerNotMeasured}),
    [](const testing::TestParamInfo<UnjudgedCase>& tp) { return std::string(tp.param.name); });

// The whole-grid PASS needs every shown board passing as it stands now.
TEST(StaleVerdictTest, NoWholeGridPassOverABoardWhoseCountsAreOld)
{
    GridCounts counts{1, 2};
    BoardGrid grid{counts};
    for (int c = 0; c < 2; ++c) {
        grid.panel(0, c).setChannelCount(16);
        publishVerdict(grid.panel(0, c), BoardVerdict::Pass, 0.0, steadyMillis());
    }
    grid.failCount = 0;
    GridRenderer renderer;
    constexpr QRgb kOverlayGreen = kWhite & 0xFF00FF00u;
    EXPECT_TRUE(contains(renderer.render(grid, {900, 500}), {0, 0, 900, 500}, kOverlayGreen));

    publishVerdict(grid.panel(0, 1), BoardVerdict::Pass, 0.0, steadyMillis() - 1500);
    const QImage& stale = renderer.render(grid, {900, 500});
    EXPECT_FALSE(contains(stale, {0, 0, 900, 500}, kOverlayGreen));
    EXPECT_TRUE(contains(stale, {450, 0, 900, 500}, kBannerNotMeasured));
}

} // namespace
} // namespace display
