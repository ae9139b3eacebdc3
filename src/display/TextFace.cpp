#include "display/TextFace.h"

#include "display/Canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace display {

QFont makeFont(const FontSpec& fontSpec)
{
    QFont font(fontSpec.family);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setItalic(fontSpec.italic);
    font.setWeight(static_cast<QFont::Weight>(fontSpec.weight));
    const int height = std::max(fontSpec.height, 1);
    font.setPixelSize(height);
    const int natural = QFontMetrics(font).height();
    if (natural > height)
        font.setPixelSize(std::max(1, height * height / natural));
    if (fontSpec.width > 0) {
        const int average = QFontMetrics(font).averageCharWidth();
        if (average > 0)
            font.setStretch(std::clamp(100 * fontSpec.width / average, 1, 4000));
    }
    return font;
}

TextFace::TextFace(const FontSpec& fontSpec) : spec_(fontSpec)
{
    if (fontSpec.height <= 0)
        return; // nothing legible fits; such text is not drawn
    font_ = makeFont(fontSpec);
    const QFontMetrics metrics(font_);
    lineHeight_ = metrics.height();
    ascent_ = metrics.ascent();
    pad_ = lineHeight_ / 2 + 2;
}

const TextFace::Glyph* TextFace::makeGlyph(int c) const
{
    if (lineHeight_ <= 0)
        return nullptr;
    Glyph& glyph = glyphs_[c - kFirst];
    glyph.made = true;
    const QString text(QChar(static_cast<char16_t>(c)));
    glyph.advance = QFontMetrics(font_).horizontalAdvance(text);
    QImage image(glyph.advance + 2 * pad_, lineHeight_ + 2 * pad_, QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(font_);
        painter.setPen(Qt::white);
        painter.drawText(pad_, pad_ + ascent_, text);
    }
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (line[x] >= 128)
                glyph.pixels.push_back(
                    {static_cast<std::int16_t>(x - pad_), static_cast<std::int16_t>(y - pad_)});
    }
    return &glyph;
}

int TextFace::width(std::string_view text) const
{
    int w = 0;
    for (char ch : text)
        if (const Glyph* g = glyph(ch))
            w += g->advance;
    return w;
}

void TextFace::draw(Canvas& canvas, std::string_view text, int x, int y, TextDirection direction,
                    QRgb color) const
{
    int pen = 0; // advance along the text, in the text's own coordinates
    for (char ch : text) {
        const Glyph* g = glyph(ch);
        if (g == nullptr)
            continue;
        const Glyph& glyph = *g;
        for (const Pixel p : glyph.pixels) {
            const int dx = pen + p.dx;
            const int dy = p.dy;
            switch (direction) {
            case TextDirection::Right:
                canvas.plot(x + dx, y + dy, color);
                break;
            case TextDirection::Up: // rotated a quarter turn counter-clockwise
                canvas.plot(x + dy, y - dx - 1, color);
                break;
            case TextDirection::Down: // rotated a quarter turn clockwise
                canvas.plot(x - dy - 1, y + dx, color);
                break;
            }
        }
        pen += glyph.advance;
    }
}

} // namespace display
