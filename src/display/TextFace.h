#pragma once

#include <QFont>
#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// Text of the grid view. The view draws thousands of short numbers per frame, most of them
// rotated, so each face renders a character into a list of pixels the first time it is drawn and
// then stamps it; QPainter's text path would cost several milliseconds per frame. Only the few
// characters the view uses are ever rendered, so a face is cheap to make at a new size. Glyphs
// are not antialiased.
namespace display {

class Canvas;

// A font as the view asks for it: face name, cell height and average character width in pixels
// (width 0 = the face's own), italic, weight.
struct FontSpec {
    QString family;
    int height = 0;
    int width = 0;
    bool italic = false;
    int weight = QFont::Normal;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Builds the closest QFont: pixel size chosen so the line height is fontSpec.height, and a
// horizontal stretch that brings the average character width to fontSpec.width.
QFont makeFont(const FontSpec& fontSpec);

// Direction in which text runs from its reference point (the top-left corner of the text as if
// it were not rotated).
enum class TextDirection { Right, Up, Down };

// Not thread-safe: a face belongs to the one renderer (GUI thread) that made it.
class TextFace {
public:
    explicit TextFace(const FontSpec& fontSpec);

    const FontSpec& fontSpec() const { return spec_; }
    void draw(Canvas& canvas, std::string_view text, int x, int y, TextDirection direction, QRgb color) const;
    int width(std::string_view text) const;

private:
    struct Pixel {
        std::int16_t dx;
        std::int16_t dy;
    };
    struct Glyph {
        bool made = false;
        std::vector<Pixel> pixels; // relative to the glyph's top-left reference point
        int advance = 0;
    };
    static constexpr int kFirst = 32;
    static constexpr int kLast = 126;

    // Null for a character outside 32..126 or a face without a font; rendered on first use.
    const Glyph* glyph(char ch) const
    {
        const int c = static_cast<unsigned char>(ch);
        if (c < kFirst || c > kLast)
            return nullptr;
        const Glyph& g = glyphs_[c - kFirst];
        return g.made ? &g : makeGlyph(c);
    }
    const Glyph* makeGlyph(int c) const;

    FontSpec spec_;
    QFont font_;
    int pad_ = 0;
    int lineHeight_ = 0;
    int ascent_ = 0;
    mutable std::array<Glyph, kLast - kFirst + 1> glyphs_;
};

} // namespace display
