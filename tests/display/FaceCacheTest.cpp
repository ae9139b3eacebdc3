// The glyph cache keeps the faces of a few sizes only: a window dragged through many sizes must
// not keep a glyph set for each, and the faces of the frame being drawn are never dropped.
#include "display/BoardGrid.h"
#include "display/BoardPainter.h"
#include "display/GridRenderer.h"
#include "display/TextFace.h"

#include <gtest/gtest.h>

namespace display {
namespace {

FontSpec arial(int height)
{
    return {QStringLiteral("Arial"), height, 5};
}

TEST(FaceCache, ResizingThroughManySizesKeepsAFewFaces)
{
    GridCounts counts{4, 4};
    BoardGrid grid{counts};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            BoardPanel& p = grid.panel(r, c);
            p.setChannelCount(64);
            p.setPearsonCheck(true, 0.5);
            for (int k = 0; k < kChannels; ++k)
                p.raw[k] = static_cast<std::uint16_t>(3000 + 13 * k);
        }
    GridRenderer renderer;
    for (int i = 0; i < 150; ++i)
        renderer.render(grid, QSize(900 + 7 * i, 500 + 3 * i));
    EXPECT_LE(renderer.faces().size(), FaceCache::kCapacity);
}

TEST(FaceCache, TheLeastRecentlyUsedFacesGoFirst)
{
    FaceCache cache;
    const FontSpec kept = arial(9);
    for (int h = 10; h < 10 + static_cast<int>(FaceCache::kCapacity) + 5; ++h) {
        cache.face(kept);
        cache.face(arial(h));
        cache.trim();
    }
    EXPECT_EQ(cache.size(), FaceCache::kCapacity);
    EXPECT_TRUE(cache.holds(kept));
    EXPECT_FALSE(cache.holds(arial(10)));
    EXPECT_TRUE(cache.holds(arial(10 + static_cast<int>(FaceCache::kCapacity) + 4)));
}

// A frame that needs more faces than the cache keeps (boards of many channel counts) keeps them
// all, so the next frame does not make them again.
TEST(FaceCache, TheFacesOfTheFrameJustDrawnStay)
{
    FaceCache cache;
    const int many = static_cast<int>(FaceCache::kCapacity) + 6;
    for (int h = 10; h < 10 + many; ++h)
        cache.face(arial(h));
    cache.trim();
    EXPECT_EQ(cache.size(), static_cast<std::size_t>(many));
    cache.face(arial(10));
    cache.trim();
    EXPECT_EQ(cache.size(), FaceCache::kCapacity);
    EXPECT_TRUE(cache.holds(arial(10)));
}

} // namespace
} // namespace display
