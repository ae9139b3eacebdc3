#pragma once

#include "display/BoardPainter.h"
#include "display/BoardPanel.h"
#include "display/Verdict.h"
#include "setup/ColorScheme.h"

#include <QImage>
#include <QRegion>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

// The repaint of the grid view without the window: background, grid lines and frames, every
// shown board, the banners of the verdicts the acquisition cycle published (a verdict older than
// its counts' freshness shows as not measured), the excess release and the green whole-grid
// "PASS" combined by bitwise AND. The result is one finished image per tick. The view never
// judges: it paints what was judged.
//
// A tick redraws only the boards whose data changed since the last one (their panel values, as a
// snapshot, are compared) unless a view setting or the size changed; the picture and the latches
// are exactly those of a full rebuild. What a tick changed is kept as a region, so the widget
// copies only that to the screen. The hit test is the widget's (it needs the mouse point) and has
// no effect on the picture.
namespace display {

class BoardGrid;
class Canvas;

class GridRenderer {
public:
    GridRenderer();
    ~GridRenderer();
    GridRenderer(const GridRenderer&) = delete;
    GridRenderer& operator=(const GridRenderer&) = delete;

    // One repaint at the given size; returns the finished frame.
    const QImage& render(BoardGrid& grid, QSize size);
    const QImage& frame() const { return frame_; }

    // When off, every tick is a full rebuild (tests compare the two ways).
    void setIncremental(bool on) { incremental_ = on; }
    // The next tick rebuilds everything.
    void invalidate() { valid_ = false; }

    // Boards redrawn by the last tick (a full rebuild redraws every shown board).
    int boardsRedrawnLastTick() const { return redrawn_; }
    // The pixels the last tick may have changed: the whole frame after a full rebuild, else the
    // cells of the boards it redrew and, when the whole-grid "PASS" came or went, its letters.
    const QRegion& changedRegion() const { return changed_; }
    // The glyph faces kept for the sizes drawn last.
    const FaceCache& faces() const { return faces_; }

private:
    struct ViewKey {
        int width = 0;
        int height = 0;
        int rows = 0;
        int cols = 0;
        bool bannerShown = true;
        bool excessIndication = false;
        bool english = false;
        ColorScheme colors;
        friend bool operator==(const ViewKey&, const ViewKey&) = default;
    };
    struct Span {
        int y;
        int left;
        int right;
    };
    struct BoardMemo {
        bool valid = false;
        BoardSnapshot snapshot;
        double pearson = 0.0;
        BoardVerdict verdict = BoardVerdict::Pass;
    };

    void paintBackground(Canvas& canvas, const ViewKey& key);
    void prepareOverlay(const ViewKey& key);
    void applyOverlay();
    void removeOverlay();

    QImage frame_;
    FaceCache faces_;
    bool incremental_ = true;
    bool valid_ = false;
    ViewKey key_;
    std::array<BoardMemo, 16> memo_;
    int redrawn_ = 0;
    QRegion changed_;

    // The letters of the whole-grid "PASS" as row spans, and the pixels they covered before the
    // AND, so the next tick can take the overlay off again without redrawing everything.
    QSize overlaySize_;
    std::vector<Span> overlaySpans_;
    QRect overlayBounds_;
    std::vector<std::uint32_t> underOverlay_;
    bool overlayApplied_ = false;
};

} // namespace display
