#include "platform/controls/glyph_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace tavelio {
namespace {

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

} // namespace

GlyphButton::GlyphButton(QWidget* form, const char* name, int left, int top, int width, int height,
                         Style style, EventDispatcher& dispatcher)
    : WindowControl(form, name), dispatcher_(dispatcher), style_(style) {
    setGeometry(left, top, width, height);
    setFocusPolicy(Qt::NoFocus);
    setPalette(ButtonPalette());
}

void GlyphButton::SetGlyph(const GlyphPicture& glyph) {
    glyph_ = glyph;
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
    const QSize glyph = glyph_.Size();
    int x = (width() - glyph.width()) / 2;
    if (margin_ >= 0) {
        x = layout_ == ButtonLayout::blGlyphLeft ? margin_ : width() - margin_ - glyph.width();
    }
    return {x, (height() - glyph.height()) / 2};
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
    if (glyph_.IsNull()) {
        return;
    }
    painter.setClipRect(rect().adjusted(edge, edge, -edge, -edge));
    const QPoint at = GlyphPosition() + (sunk ? QPoint(1, 1) : QPoint(0, 0));
    const GlyphPicture::Drawing& drawing = glyph_.At(devicePixelRatioF());
    painter.drawImage(at, isEnabled() ? drawing.glyph : drawing.greyed);
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
    description["glyph"] = glyph_.IsNull() ? nlohmann::json(nullptr)
                                           : nlohmann::json{{"width", glyph_.Size().width()},
                                                            {"height", glyph_.Size().height()}};
    return description;
}

} // namespace tavelio
