#pragma once

#include "display/BoardPanel.h"
#include "display/Layout.h"
#include "display/Verdict.h"
#include "setup/ColorScheme.h"

#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>

// Drawing of one board cell: its frames, the ten passes over its channel slots (zones, bar,
// reference mark, closed cover, rotated numbers, label strip, Pearson percentage) and its
// verdict banner.
namespace display {

class Canvas;
class TextFace;
struct FontSpec;

namespace palette {
inline constexpr QRgb kGridPen = 0xFF646464; // 100,100,100: grid lines, frames, empty grid
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kUpperZone = 0xFFFFC8C8; // 255,200,200
inline constexpr QRgb kLowerZone = 0xFFFFFFC8; // 255,255,200
inline constexpr QRgb kBand = 0xFFC8FFC8;      // 200,255,200
inline constexpr QRgb kReference = 0xFFFF0000; // 255,0,0
inline constexpr QRgb kClosed = 0xFF969696;    // 150,150,150
inline constexpr QRgb kHatch = 0xFF9B9B9B;     // 155,155,155
inline constexpr QRgb kLowerOnly = 0xFFFF00FF; // 255,0,255
inline constexpr QRgb kUpperOnly = 0xFFFFFF00; // 255,255,0
inline constexpr QRgb kExcessTop = 0xFF008000; // gradient tops when the custom switches are clear
inline constexpr QRgb kHighTop = 0xFFD00000;
inline constexpr QRgb kLowTop = 0xFFC8C800;
inline constexpr QRgb kPassTop = 0xFF0000F0;
inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kRawText = 0xFFFF3232;     // 255,50,50
inline constexpr QRgb kDiffHigh = 0xFFFF3232;    // 255,50,50
inline constexpr QRgb kDiffLow = 0xFFFFFF32;     // 255,255,50
inline constexpr QRgb kDiffPass = 0xFF329B32;    // 50,155,50
inline constexpr QRgb kLabelHigh = 0xFFFFC864;   // 255,200,100
inline constexpr QRgb kLabelLow = 0xFFFFFF64;    // 255,255,100
inline constexpr QRgb kLabelPass = 0xFF64FF64;   // 100,255,100
inline constexpr QRgb kLabelText = 0xFF323296;   // 50,50,150
inline constexpr QRgb kPearsonGood = 0xFF329632; // 50,150,50
inline constexpr QRgb kPearsonBad = 0xFFFA3232;  // 250,50,50
inline constexpr QRgb kBannerPass = 0xFF64FF64;  // 100,255,100
inline constexpr QRgb kBannerFail = 0xFFFF6464;  // 255,100,100
inline constexpr QRgb kBannerPassText = 0xFF3232FA;
inline constexpr QRgb kBannerFailText = 0xFFFAFA32;
inline constexpr QRgb kBannerLoadText = 0xFF969696;
inline constexpr QRgb kBannerNotMeasured = 0xFF505050; // 80,80,80, white word
inline constexpr QRgb kBannerLoading = 0xFFC8DCFF;     // 200,220,255
inline constexpr QRgb kBannerLoadingText = 0xFF283C78; // 40,60,120
} // namespace palette

QRgb toQRgb(Rgbx c);

// Faces made once and kept for the few sizes drawn last: a window dragged through many sizes
// would otherwise keep a glyph set for every size it passed. At the end of each frame (trim) the
// least recently used faces go first, down to kCapacity; the faces the frame just used always
// stay, so a frame that needs more of them does not make them again next time.
class FaceCache {
public:
    // A 4 x 4 grid of equal boards uses four faces (numbers, labels, banner, Pearson): room for
    // four sizes.
    static constexpr std::size_t kCapacity = 16;

    FaceCache();
    ~FaceCache();
    FaceCache(const FaceCache&) = delete;
    FaceCache& operator=(const FaceCache&) = delete;

    // The face, made if needed; the reference stays valid until the next trim().
    const TextFace& face(const FontSpec& fontSpec);
    // The end of a frame: drops the least recently used faces beyond kCapacity.
    void trim();

    std::size_t size() const { return faces_.size(); }
    bool holds(const FontSpec& fontSpec) const;

private:
    using Key = std::tuple<QString, int, int, bool, int>;
    struct Entry {
        std::unique_ptr<TextFace> face;
        std::uint64_t lastUsed = 0; // frame number
    };
    static Key keyOf(const FontSpec& fontSpec);

    std::map<Key, Entry> faces_;
    std::uint64_t frame_ = 0;
};

// What the view settings contribute to a board's picture.
struct BoardStyle {
    ColorScheme colors;
    bool excessIndication = false;
    int gridRows = 1; // the rotated numbers are narrower when there is more than one row
    // The main view: the board's published verdict and coefficient are shown (the preview,
    // which has no verdict, computes its coefficient itself).
    bool publishedVerdict = false;
};

// What painting a board changes in its panel: channels to latch and the Pearson coefficient
// (meaningful only when the board's check is on).
struct BoardPaintResult {
    std::array<bool, kChannels> latch{};
    double pearson = 0.0;
};

// The board's part of the grid frames: its slot frames, label strip and (with the banner on)
// banner frame, each outlined with the grid pen and filled white.
void paintBoardFrames(Canvas& canvas, const CellLayout& cell, bool bannerShown);

// The ten passes over the slots of one board.
BoardPaintResult paintBoard(Canvas& canvas, const CellLayout& cell, const BoardSnapshot& board,
                            const BoardStyle& style, FaceCache& faces);

// The verdict banner inside the banner frame; `english` picks the words of the banners that are
// not a verdict (not measured, loading).
void paintBanner(Canvas& canvas, const CellLayout& cell, BoardVerdict verdict, FaceCache& faces,
                 bool english = false);

} // namespace display
