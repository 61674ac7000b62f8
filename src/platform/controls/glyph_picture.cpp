#include "platform/controls/glyph_picture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace tavelio {
namespace {

// Glyph pixels darker than this show in a greyed glyph; lighter ones vanish, as on a disabled
// button of the designs' toolkit.
constexpr int kGreyedThreshold = 192;
// A device pixel covered less than this (of 255) by the vector drawing is transparent.
constexpr int kHalfCovered = 128;

QImage WithTransparentCorner(const QImage& bitmap) {
    QImage transparent = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb clear = transparent.pixel(0, transparent.height() - 1);
    for (int y = 0; y < transparent.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(transparent.scanLine(y));
        for (int x = 0; x < transparent.width(); ++x) {
            if (row[x] == clear) {
                row[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return transparent;
}

int Blend(int colour, int face, int alpha) {
    return (colour * alpha + face * (255 - alpha) + 127) / 255;
}

// The source drawn at size, each device pixel either transparent or opaque.
QImage DrawnFromSource(const QByteArray& svg, QSize size) {
    QImage drawn(size, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&drawn);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    for (int y = 0; y < drawn.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(drawn.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            row[x] = alpha < kHalfCovered ? qRgba(0, 0, 0, 0)
                                          : qRgb(Blend(qRed(row[x]), kButtonFace.red(), alpha),
                                                 Blend(qGreen(row[x]), kButtonFace.green(), alpha),
                                                 Blend(qBlue(row[x]), kButtonFace.blue(), alpha));
        }
    }
    return drawn;
}

QImage Greyed(const QImage& glyph, int edge) {
    QImage shape(glyph.size(), QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    for (int y = 0; y < glyph.height(); ++y) {
        for (int x = 0; x < glyph.width(); ++x) {
            const QRgb pixel = glyph.pixel(x, y);
            if (qAlpha(pixel) != 0 && qGray(pixel) < kGreyedThreshold) {
                shape.setPixel(x, y, qRgba(255, 255, 255, 255));
            }
        }
    }
    QImage greyed(glyph.width() + edge, glyph.height() + edge, QImage::Format_ARGB32);
    greyed.fill(Qt::transparent);
    QPainter painter(&greyed);
    painter.drawImage(edge, edge, shape);
    QImage grey = shape;
    QPainter tint(&grey);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(grey.rect(), QColor(128, 128, 128));
    tint.end();
    painter.drawImage(0, 0, grey);
    return greyed;
}

} // namespace

GlyphPicture::GlyphPicture(const QImage& bitmap, const QByteArray& svg)
    : bitmap_(bitmap), svg_(svg) {}

const GlyphPicture::Drawing& GlyphPicture::At(qreal devicePixelRatio) {
    if (devicePixelRatio == drawnRatio_ || IsNull()) {
        return drawn_;
    }
    const bool fromSource = devicePixelRatio > 1 && !svg_.isEmpty();
    QImage glyph = fromSource ? DrawnFromSource(svg_, (QSizeF(Size()) * devicePixelRatio).toSize())
                              : WithTransparentCorner(bitmap_);
    const qreal ratio = fromSource ? devicePixelRatio : 1;
    const int edge = qRound(ratio);
    QImage greyed = Greyed(glyph, edge);
    glyph.setDevicePixelRatio(ratio);
    greyed.setDevicePixelRatio(ratio);
    drawn_ = {std::move(glyph), std::move(greyed)};
    drawnRatio_ = devicePixelRatio;
    return drawn_;
}

} // namespace tavelio
