#include "display/GridRenderer.h"

#include "display/BoardGrid.h"
#include "display/Canvas.h"
#include "display/ExcessRelease.h"
#include "display/Layout.h"
#include "display/TextFace.h"

#include <QPainter>

namespace display {

namespace {

// Lines of the grid: a running value from 0 growing by step while below limit.
template <typename Draw> void gridLines(double step, int limit, Draw draw)
{
    double v = 0;
    for (int guard = 0; v < limit && guard <= limit; ++guard) {
        draw(toInt(v));
        if (!(step > 0))
            break;
        v += step;
    }
}

} // namespace

GridRenderer::GridRenderer() = default;
GridRenderer::~GridRenderer() = default;

void GridRenderer::paintBackground(Canvas& canvas, const ViewKey& key)
{
    const bool anyBoard = key.rows != 0 || key.cols != 0;
    if (key.rows == 0 || key.cols == 0) {
        canvas.fill({0, 0, key.width, key.height}, anyBoard ? palette::kWhite : palette::kGridPen);
    } else {
        // White everywhere except inside the cells: each cell is cleared right before its board is
        // drawn, while its rows are still in the cache.
        const GridLayout layout{key.width, key.height, key.rows, key.cols, key.bannerShown};
        std::array<PixelRect, BoardGrid::kMaxCols> across{};
        std::array<PixelRect, BoardGrid::kMaxRows> down{};
        for (int c = 0; c < key.cols; ++c)
            across[c] = layout.cell(0, c, 0).interior();
        for (int r = 0; r < key.rows; ++r)
            down[r] = layout.cell(r, 0, 0).interior();
        int row = 0;
        for (int r = 0; r <= key.rows; ++r) {
            const int bandTop = r < key.rows ? std::max(down[r].top, row) : key.height;
            canvas.fill({0, row, key.width, bandTop}, palette::kWhite);
            if (r == key.rows)
                break;
            const int bandBottom = std::max(down[r].bottom, bandTop);
            int x = 0;
            for (int c = 0; c < key.cols; ++c) {
                canvas.fill({x, bandTop, std::max(across[c].left, x), bandBottom}, palette::kWhite);
                x = std::max(x, across[c].right);
            }
            canvas.fill({x, bandTop, key.width, bandBottom}, palette::kWhite);
            row = bandBottom;
        }
    }
    gridLines((key.height - 1) / static_cast<double>(key.rows), key.height,
              [&](int y) { canvas.horizontalLine(y, 0, key.width, palette::kGridPen); });
    gridLines((key.width - 1) / static_cast<double>(key.cols), key.width,
              [&](int x) { canvas.verticalLine(x, 0, key.height, palette::kGridPen); });
}

const QImage& GridRenderer::render(BoardGrid& grid, QSize size)
{
    ViewKey key;
    key.width = std::max(size.width(), 0);
    key.height = std::max(size.height(), 0);
    std::tie(key.rows, key.cols) = grid.counts().get();
    key.bannerShown = grid.bannerShown.load(std::memory_order_relaxed);
    key.excessIndication = grid.excessIndication.load(std::memory_order_relaxed);
    key.english = grid.englishText.load(std::memory_order_relaxed);
    key.colors = grid.colorScheme();

    const bool full =
        !incremental_ || !valid_ || !(key == key_) || frame_.size() != QSize(key.width, key.height);
    if (frame_.size() != QSize(key.width, key.height))
        frame_ = QImage(key.width, key.height, QImage::Format_RGB32);
    const bool overlayWasApplied = overlayApplied_;
    if (!full && overlayApplied_)
        removeOverlay();
    overlayApplied_ = false;
    changed_ = full ? QRegion(0, 0, key.width, key.height) : QRegion();

    Canvas canvas(frame_);
    if (full) {
        paintBackground(canvas, key);
        for (auto& m : memo_)
            m.valid = false;
    }

    const GridLayout layout{key.width, key.height, key.rows, key.cols, key.bannerShown};
    const BoardStyle style{key.colors, key.excessIndication, key.rows, key.bannerShown};
    const std::int64_t now = steadyMillis();
    int failingShown = 0;
    redrawn_ = 0;
    for (int r = 0; r < key.rows; ++r) {
        for (int c = 0; c < key.cols; ++c) {
            BoardPanel& panel = grid.panel(r, c);
            BoardMemo& memo = memo_[r * BoardGrid::kMaxCols + c];
            BoardSnapshot snapshot = panel.snapshot();
            if (key.bannerShown)
                snapshot.verdict =
                    static_cast<std::uint8_t>(verdictAt(static_cast<BoardVerdict>(snapshot.verdict),
                                                        panel.countsAt.load(std::memory_order_relaxed), now));
            const bool dirty = !memo.valid || !(snapshot == memo.snapshot);
            if (dirty) {
                const CellLayout cell = layout.cell(r, c, snapshot.channelCount);
                canvas.setClip(cell.interior());
                canvas.fill(cell.interior(), palette::kWhite);
                paintBoardFrames(canvas, cell, key.bannerShown);
                const BoardPaintResult painted = paintBoard(canvas, cell, snapshot, style, faces_);
                for (int ch = 0; ch < kChannels; ++ch)
                    if (painted.latch[ch])
                        panel.excess[ch].store(1, std::memory_order_relaxed);
                memo.pearson = painted.pearson;
                memo.verdict = static_cast<BoardVerdict>(snapshot.verdict);
                if (key.bannerShown)
                    paintBanner(canvas, cell, memo.verdict, faces_, key.english);
                canvas.resetClip();
                if (!full) {
                    const PixelRect r = cell.interior();
                    changed_ += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
                }
                memo.snapshot = snapshot;
                memo.valid = true;
                ++redrawn_;
            }
            failingShown += countsAsFailing(memo.verdict) ? 1 : 0;
        }
    }

    releaseExcessWhenAllLatched(grid);

    // The whole-grid PASS needs the cycle's verdict and every board as it stands now to agree: a
    // board whose judgement went stale since the last cycle is no pass.
    const bool allPass =
        grid.failCount.load(std::memory_order_relaxed) == 0 && (!key.bannerShown || failingShown == 0);
    if (allPass && key.cols > 1 && key.rows > 0) {
        prepareOverlay(key);
        applyOverlay();
    }
    if (!full && overlayApplied_ != overlayWasApplied)
        changed_ += overlayBounds_;
    faces_.trim();
    key_ = key;
    valid_ = true;
    return frame_;
}

void GridRenderer::prepareOverlay(const ViewKey& key)
{
    const QSize size(key.width, key.height);
    if (overlaySize_ == size)
        return;
    overlaySize_ = size;
    overlaySpans_.clear();
    overlayBounds_ = QRect();
    const int fh = key.height / 5;
    const int fw = key.width / (4 + 5);
    if (fh <= 0 || key.width <= 0)
        return;
    const QFont font = makeFont({QStringLiteral("Arial Black"), fh, fw, false, QFont::Black});
    QImage letters(size, QImage::Format_Grayscale8);
    letters.fill(0);
    {
        QPainter painter(&letters);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const int x = toInt(key.width - 4 * fw * 1.3) / 2;
        const int y = toInt(key.height - fh * 1.5) / 2;
        painter.drawText(x, y + painter.fontMetrics().ascent(), QStringLiteral("PASS"));
    }
    for (int y = 0; y < letters.height(); ++y) {
        const uchar* line = letters.constScanLine(y);
        for (int x = 0; x < letters.width();) {
            if (line[x] < 128) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < letters.width() && line[x] >= 128)
                ++x;
            overlaySpans_.push_back({y, left, x});
            overlayBounds_ |= QRect(left, y, x - left, 1);
        }
    }
}

void GridRenderer::applyOverlay()
{
    // White around the letters leaves the picture as it is; under the green letters only the
    // green component survives the AND.
    underOverlay_.clear();
    for (const Span& s : overlaySpans_) {
        auto* line = reinterpret_cast<std::uint32_t*>(frame_.scanLine(s.y));
        underOverlay_.insert(underOverlay_.end(), line + s.left, line + s.right);
        for (int x = s.left; x < s.right; ++x)
            line[x] &= 0xFF00FF00u;
    }
    overlayApplied_ = true;
}

void GridRenderer::removeOverlay()
{
    std::size_t i = 0;
    for (const Span& s : overlaySpans_) {
        auto* line = reinterpret_cast<std::uint32_t*>(frame_.scanLine(s.y));
        for (int x = s.left; x < s.right; ++x)
            line[x] = underOverlay_[i++];
    }
    overlayApplied_ = false;
}

} // namespace display
