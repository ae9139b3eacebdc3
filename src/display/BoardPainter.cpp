#include "display/BoardPainter.h"

#include "display/Canvas.h"
#include "display/TextFace.h"
#include "setup/ChannelMode.h"
#include "texts/QtTexts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace display {

namespace {

using namespace palette;

constexpr std::uint8_t mode(ChannelMode m)
{
    return static_cast<std::uint8_t>(m);
}

const QString kArial = QStringLiteral("Arial");

struct Number {
    std::array<char, 16> text{};
    std::size_t size = 0;
    explicit Number(int v)
    {
        size = static_cast<std::size_t>(std::to_chars(text.data(), text.data() + text.size(), v).ptr -
                                        text.data());
    }
    std::string_view view() const { return {text.data(), size}; }
};

void paintBar(Canvas& canvas, PixelRect bar, std::uint8_t m, bool excessStyle, std::uint16_t raw,
              std::uint16_t high, std::uint16_t low, const ColorScheme& colors)
{
    if (m == mode(ChannelMode::Open)) {
        QRgb plain = 0;
        QRgb top = 0;
        bool custom = colors.customColors();
        if (excessStyle) {
            plain = toQRgb(colors.excessColor);
            top = kExcessTop;
            custom = colors.customExcessColor();
        } else if (raw > high) {
            plain = toQRgb(colors.highColor);
            top = kHighTop;
        } else if (raw < low) {
            plain = toQRgb(colors.lowColor);
            top = kLowTop;
        } else {
            plain = toQRgb(colors.passColor);
            top = kPassTop;
        }
        if (custom)
            canvas.fill(bar, plain);
        else
            canvas.fillVerticalGradient(bar, kWhite, top);
    } else if (m == mode(ChannelMode::Masked)) {
        if (colors.customMaskColor())
            canvas.fill(bar, toQRgb(colors.maskColor));
        else
            canvas.fillHorizontalGradient(bar, kWhite, kBlack);
    } else if (m == mode(ChannelMode::LowerOnly)) {
        canvas.fill(bar, kLowerOnly);
    } else if (m == mode(ChannelMode::UpperOnly)) {
        canvas.fill(bar, kUpperOnly);
    }
}

} // namespace

QRgb toQRgb(Rgbx c)
{
    return qRgb(c.red, c.green, c.blue);
}

FaceCache::FaceCache() = default;
FaceCache::~FaceCache() = default;

FaceCache::Key FaceCache::keyOf(const FontSpec& fontSpec)
{
    return {fontSpec.family, fontSpec.height, fontSpec.width, fontSpec.italic, fontSpec.weight};
}

const TextFace& FaceCache::face(const FontSpec& fontSpec)
{
    Key key = keyOf(fontSpec);
    auto it = faces_.find(key);
    if (it == faces_.end())
        it = faces_.emplace(std::move(key), Entry{std::make_unique<TextFace>(fontSpec), frame_}).first;
    it->second.lastUsed = frame_;
    return *it->second.face;
}

void FaceCache::trim()
{
    if (faces_.size() > kCapacity) {
        std::vector<std::pair<std::uint64_t, Key>> byAge;
        byAge.reserve(faces_.size());
        for (const auto& [key, entry] : faces_)
            if (entry.lastUsed != frame_)
                byAge.emplace_back(entry.lastUsed, key);
        std::sort(byAge.begin(), byAge.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [lastUsed, key] : byAge) {
            if (faces_.size() <= kCapacity)
                break;
            faces_.erase(key);
        }
    }
    ++frame_;
}

bool FaceCache::holds(const FontSpec& fontSpec) const
{
    return faces_.contains(keyOf(fontSpec));
}

void paintBoardFrames(Canvas& canvas, const CellLayout& cell, bool bannerShown)
{
    // The cell is white when its frames are drawn, and the frames do not overlap, so the white
    // interiors need no drawing.
    if (bannerShown)
        canvas.frameOnWhite(cell.bannerStrip(), kGridPen);
    canvas.frameOnWhite(cell.labelStrip(), kGridPen);
    // The slot frames: their top and bottom edges, then all their sides row by row, which
    // passes over the cell's memory once instead of once per side.
    const int top = cell.slotFrameTop();
    const int bottom = cell.slotFrameBottom();
    if (bottom <= top)
        return;
    std::array<int, 2 * kChannels> sides{};
    std::size_t count = 0;
    for (int i = 0; i < cell.n && i < kChannels; ++i) {
        const SlotExtents s = cell.slot(i);
        if (s.frameRight <= s.frameLeft)
            continue;
        canvas.horizontalLine(top, s.frameLeft, s.frameRight, kGridPen);
        canvas.horizontalLine(bottom - 1, s.frameLeft, s.frameRight, kGridPen);
        sides[count++] = s.frameLeft;
        sides[count++] = s.frameRight - 1;
    }
    canvas.verticalLines({sides.data(), count}, top, bottom, kGridPen);
}

BoardPaintResult paintBoard(Canvas& canvas, const CellLayout& cell, const BoardSnapshot& board,
                            const BoardStyle& style, FaceCache& faces)
{
    BoardPaintResult result;
    const int n = cell.n;
    const double vmax = board.viewRangeMax;
    const double vmin = board.viewRangeMin;
    auto level = [&](double v) { return cell.level(v, vmax, vmin); };

    // Slots whose order entry names no channel stay empty; they never index the channel arrays.
    std::array<int, kChannels> channelOf{};
    for (int i = 0; i < n; ++i)
        channelOf[i] = board.order[i] < kChannels ? board.order[i] : -1;

    const int yTop = cell.yTop;
    const int yBot = cell.yBot;
    const int zoneBottom = cell.zoneBottom();

    // 1-6: zones, band, bar, reference mark and closed cover. Slots never overlap across, so
    // running the six passes slot by slot gives the same picture as pass after pass, and keeps
    // each slot's column in the cache while it is drawn.
    for (int i = 0; i < n; ++i) {
        const int ch = channelOf[i];
        if (ch < 0)
            continue;
        const SlotExtents s = cell.slot(i);
        const double high = level(board.thresholdHigh[ch]);
        const double low = level(board.thresholdLow[ch]);
        if (high > 0)
            canvas.fill({s.x1, yTop, s.x2, toInt(yTop + high)}, kUpperZone);
        if (low > 0)
            canvas.fill({s.x1, toInt(yTop + low), s.x2, zoneBottom}, kLowerZone);
        if (high > 0 || low > 0) {
            const int t = toInt(yTop + high);
            canvas.fill({s.x1, t, s.x2, toInt(t + low - high)}, kBand);
        }
        const PixelRect bar{s.barLeft, toInt(yTop + level(board.raw[ch])), s.barRight, yBot};
        const bool excessStyle = board.excess[ch] != 0 && style.excessIndication;
        paintBar(canvas, bar, board.mask[ch], excessStyle, board.raw[ch], board.thresholdHigh[ch],
                 board.thresholdLow[ch], style.colors);
        const double ref = level(board.reference[ch]);
        if (ref > 0) {
            const int m = toInt(yTop + ref - 2);
            canvas.fill({s.x1, m, s.x2, m + 2}, kReference);
        }
        if ((board.mask[ch] & 1) != 0)
            canvas.fill({s.x1, yTop, s.x2, yBot}, kClosed);
    }

    // 7, 8: raw count reading upwards, difference from the reference reading downwards.
    const FontSpec numberSpec{kArial, cell.numberFontHeight(), style.gridRows > 1 ? 5 : 8};
    if (numberSpec.height > 0) {
        const TextFace& numbers = faces.face(numberSpec);
        for (int i = 0; i < n; ++i) {
            const int ch = channelOf[i];
            if (ch < 0 || !isJudgedMode(board.mask[ch]))
                continue;
            const SlotExtents s = cell.slot(i);
            numbers.draw(canvas, Number(board.raw[ch]).view(), toInt(s.x1 + cell.chW / 8), yBot - 1,
                         TextDirection::Up, kRawText);
        }
        for (int i = 0; i < n; ++i) {
            const int ch = channelOf[i];
            if (ch < 0 || !isJudgedMode(board.mask[ch]))
                continue;
            const SlotExtents s = cell.slot(i);
            const int diff = static_cast<int>(board.raw[ch]) - static_cast<int>(board.reference[ch]);
            const QRgb color = board.raw[ch] > board.thresholdHigh[ch]  ? kDiffHigh
                               : board.raw[ch] < board.thresholdLow[ch] ? kDiffLow
                                                                        : kDiffPass;
            numbers.draw(canvas, Number(diff).view(), toInt(s.x1 + 2 * cell.chW / 3 + cell.chW / 8), yTop + 1,
                         TextDirection::Down, color);
        }
    }

    // 9: the label strip; a count above the upper threshold latches the channel's excess.
    const FontSpec labelSpec{kArial, cell.labelFontHeight(), cell.labelFontWidth()};
    const TextFace* labels = labelSpec.height > 0 ? &faces.face(labelSpec) : nullptr;
    for (int i = 0; i < n; ++i) {
        const int ch = channelOf[i];
        if (ch < 0)
            continue;
        const PixelRect r = cell.labelRect(i);
        if (isJudgedMode(board.mask[ch])) {
            if (board.raw[ch] > board.thresholdHigh[ch]) {
                result.latch[ch] = true;
                canvas.fill(r, kLabelHigh);
            } else if (board.raw[ch] < board.thresholdLow[ch]) {
                canvas.fill(r, kLabelLow);
            } else {
                canvas.fill(r, kLabelPass);
            }
        } else {
            canvas.frame(r, kGridPen, kWhite);
            canvas.hatch({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kHatch);
        }
        if (labels != nullptr) {
            char text[8];
            const int len = std::snprintf(text, sizeof text, "%02d", ch);
            labels->draw(canvas, {text, static_cast<std::size_t>(len)}, r.left + 1, r.top - 1,
                         TextDirection::Right, kLabelText);
        }
    }

    // 10: the Pearson coefficient as a percentage: the judged one where the board has a verdict;
    // a board that is loading or not measured has none to show.
    const auto verdict = static_cast<BoardVerdict>(board.verdict);
    const bool unjudged = verdict == BoardVerdict::NotMeasured || verdict == BoardVerdict::Loading;
    if (board.pearsonEnable != 0 && !(style.publishedVerdict && unjudged)) {
        result.pearson = style.publishedVerdict ? board.pearson : pearsonCoefficient(board);
        const FontSpec pearsonSpec{kArial, toInt(0.125 * cell.cellH), 0, true};
        if (pearsonSpec.height > 0) {
            char text[32];
            const int len = std::snprintf(text, sizeof text, "%02.5g%%", result.pearson * 100);
            const QRgb color = board.pearsonThreshold < result.pearson ? kPearsonGood : kPearsonBad;
            faces.face(pearsonSpec)
                .draw(canvas, {text, static_cast<std::size_t>(len)}, toInt(cell.x0 + 3), toInt(cell.y0 + 30),
                      TextDirection::Right, color);
        }
    }
    return result;
}

namespace {

// A word centred in the rect, as large as the rect allows (bold, the view's UI face, so Chinese
// has glyphs too); pixels of the word are stamped, the background stays.
void stampWord(Canvas& canvas, PixelRect rect, const QString& word, QRgb color)
{
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0)
        return;
    QImage mask(w, h, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        QFont font(QStringLiteral("Microsoft YaHei"));
        font.setFamilies({QStringLiteral("Microsoft YaHei"), QString::fromUtf8("微软雅黑"),
                          QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Arial")});
        font.setBold(true);
        font.setPixelSize(std::max(1, h * 4 / 5));
        const int textWidth = QFontMetrics(font).horizontalAdvance(word);
        if (textWidth > w - 4 && textWidth > 0)
            font.setPixelSize(std::max(1, font.pixelSize() * (w - 4) / textWidth));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, word);
    }
    for (int y = 0; y < h; ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < w; ++x)
            if (line[x] >= 128)
                canvas.plot(rect.left + x, rect.top + y, color);
    }
}

} // namespace

void paintBanner(Canvas& canvas, const CellLayout& cell, BoardVerdict verdict, FaceCache& faces, bool english)
{
    const PixelRect strip = cell.bannerStrip();
    const int l = strip.left, r = strip.right, t = strip.top, b = strip.bottom;
    const PixelRect inner{l + 2, t + 2, r - 2, b - 2};
    std::string_view text;
    QRgb color = 0;
    switch (verdict) {
    case BoardVerdict::NotMeasured:
        // Grey with a plain word: nothing here was judged, so no pass colour and no LOAD hatch.
        canvas.fill(inner, kBannerNotMeasured);
        stampWord(canvas, inner, texts::qtext(texts::TextId::GridNotMeasured, english), kWhite);
        return;
    case BoardVerdict::Loading:
        canvas.fill(inner, kBannerLoading);
        stampWord(canvas, inner, texts::qtext(texts::TextId::GridLoading, english), kBannerLoadingText);
        return;
    case BoardVerdict::Pass:
        canvas.fill(inner, kBannerPass);
        text = "PASS";
        color = kBannerPassText;
        break;
    case BoardVerdict::Fail:
        canvas.fill(inner, kBannerFail);
        text = "FAIL";
        color = kBannerFailText;
        break;
    case BoardVerdict::Load:
        canvas.fill(inner, kWhite);
        canvas.hatch(inner, kHatch);
        text = "LOAD";
        color = kBannerLoadText;
        break;
    }
    if (b - t > 0)
        faces.face({kArial, b - t, 30})
            .draw(canvas, text, l + (r - l) / 2 - 90, t + 1, TextDirection::Right, color);
}

} // namespace display
