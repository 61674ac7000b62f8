// GlyphPicture: a button's glyph, drawn sharp on screens of any density.
//
// Contract:
// - The bitmap is the glyph at the designs' size; the colour of its bottom-left pixel stands for
//   "transparent". On a screen of one device pixel per pixel the bitmap is drawn as it is.
// - The vector source (SVG) is the drawing the bitmap was made from. Where a pixel has more
//   device pixels, the source is drawn at the screen's own resolution by the rule the bitmap was
//   made with: a device pixel less than half covered is transparent, any other keeps its colour
//   blended with the button face. Without a source the bitmap is drawn, scaled.
// - The greyed glyph of a disabled button is the glyph's dark parts as a grey shape, with a
//   white edge one pixel below and to the right.
//
// Ownership: a value; it keeps the drawing for the last ratio asked for.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace tavelio {

// The face of push buttons; the glyphs' smoothed edges are blended with it.
inline const QColor kButtonFace(240, 240, 240);

class GlyphPicture {
public:
    GlyphPicture() = default;
    // svg: the bitmap's vector source, or empty.
    explicit GlyphPicture(const QImage& bitmap, const QByteArray& svg = {});

    bool IsNull() const { return bitmap_.isNull(); }
    // In the designs' pixels.
    QSize Size() const { return bitmap_.size(); }

    struct Drawing {
        QImage glyph;  // transparent where the glyph is not
        QImage greyed; // drawn while disabled, one pixel wider and taller
    };
    // The glyph for a screen of that device pixel ratio, each image carrying the ratio so that a
    // painter draws it at Size() in its own pixels.
    const Drawing& At(qreal devicePixelRatio);

private:
    QImage bitmap_;
    QByteArray svg_;
    qreal drawnRatio_ = 0;
    Drawing drawn_;
};

} // namespace tavelio
