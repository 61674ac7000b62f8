#include "platform/controls/glyph_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace tavelio {
namespace {

// The face of push buttons; the glyphs' smoothed edges are blended with it.
const QColor kButtonFace(240, 240, 240);
// Glyph pixels darker than this show in a greyed glyph; lighter ones vanish, as on a disabled
// button of the designs' toolkit.
constexpr int kGreyedThreshold = 192;

QPalette ButtonPalette() {
    QPalette colours;
    colours.setColor(QPalette::Button, kButtonFace);
    colours.setColor(QPalette::Light, Qt::white);
    colours.setColor(QPalette::Midlight, kButtonFace);
    colours.setColor(QPalette::Mid, QColor(160, 160, 160));
    colours.setColor(QPalette::Dark, QColor(128, 128, 128));
    colours.setColor(QPalette::Shadow, QColor(64, 64, 64));
    return colours;
}

QImage WithTransparentCorner(const QImage& glyph) {
    QImage transparent = glyph.convertToFormat(QImage::Format_ARGB32);
    if (transparent.isNull()) {
        return transparent;
    }
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

// The dark parts of the glyph as a grey shape with a white edge below and to the right.
QImage Greyed(const QImage& glyph) {
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
    QImage greyed(glyph.width() + 1, glyph.height() + 1, QImage::Format_ARGB32);
    greyed.fill(Qt::transparent);
    QPainter painter(&greyed);
    painter.drawImage(1, 1, shape);
    QImage grey = shape;
    QPainter tint(&grey);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(grey.rect(), QColor(128, 128, 128));
    tint.end();
    painter.drawImage(0, 0, grey);
    return greyed;
}

} // namespace

GlyphButton::GlyphButton(QWidget* form, const char* name, int left, int top, int width, int height,
                         Style style, EventDispatcher& dispatcher)
    : WindowControl(form, name), dispatcher_(dispatcher), style_(style) {
    setGeometry(left, top, width, height);
    setFocusPolicy(Qt::NoFocus);
    setPalette(ButtonPalette());
}

void GlyphButton::SetGlyph(const QImage& glyph) {
    glyph_ = WithTransparentCorner(glyph);
    greyedGlyph_ = glyph_.isNull() ? QImage() : Greyed(glyph_);
    update();
}

void GlyphButton::SetLayout(ButtonLayout layout) {
    layout_ = layout;
    update();
}

void GlyphButton::SetMargin(int margin) {
    margin_ = margin;
    update();
}

void GlyphButton::DeliverClick() {
    if (isVisible() && isEnabled() && onClick_) {
        dispatcher_.Run(onClick_);
    }
}

QPoint GlyphButton::GlyphPosition() const {
    int x = (width() - glyph_.width()) / 2;
    if (margin_ >= 0) {
        x = layout_ == ButtonLayout::blGlyphLeft ? margin_ : width() - margin_ - glyph_.width();
    }
    return {x, (height() - glyph_.height()) / 2};
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunk = pressed_ && isEnabled();
    int edge = 0;
    if (style_ == Style::Push) {
        qDrawWinButton(&painter, rect(), palette(), sunk, &palette().brush(QPalette::Button));
        edge = 2;
    } else if (isEnabled() && (pointerOver_ || sunk)) {
        qDrawShadePanel(&painter, rect(), palette(), sunk, 1);
        edge = 1;
    }
    if (glyph_.isNull()) {
        return;
    }
    painter.setClipRect(rect().adjusted(edge, edge, -edge, -edge));
    const QPoint at = GlyphPosition() + (sunk ? QPoint(1, 1) : QPoint(0, 0));
    painter.drawImage(at, isEnabled() ? glyph_ : greyedGlyph_);
}

void GlyphButton::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    update();
}

void GlyphButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    update();
    if (click) {
        DeliverClick();
    }
}

void GlyphButton::enterEvent(QEnterEvent*) {
    pointerOver_ = true;
    update();
}

void GlyphButton::leaveEvent(QEvent*) {
    pointerOver_ = false;
    update();
}

nlohmann::json GlyphButton::Describe() const {
    nlohmann::json description = DescribeWindowControl("button");
    description["style"] = style_ == Style::Flat ? "flat" : "push";
    description["layout"] = layout_ == ButtonLayout::blGlyphLeft ? "blGlyphLeft" : "blGlyphRight";
    description["margin"] = margin_;
    description["glyph"] =
        glyph_.isNull() ? nlohmann::json(nullptr)
                        : nlohmann::json{{"width", glyph_.width()}, {"height", glyph_.height()}};
    return description;
}

} // namespace tavelio
