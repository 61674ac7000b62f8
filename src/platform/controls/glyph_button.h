// GlyphButton: a button of a form that shows a picture (its glyph) instead of a caption.
//
// Contract:
// - Flat buttons show only their glyph on the form's background, with a raised edge while the
//   pointer is over them; push buttons are raised on a button face. A pressed button looks sunk.
// - The glyph (glyph_picture.h) is drawn at the screen's resolution. Layout puts the glyph at the
//   left (blGlyphLeft) or the right (blGlyphRight) of the button, Margin pixels from that edge;
//   with Margin -1 the glyph is centred. A glyph wider than the button is cut by the button's
//   edges, so a glyph holding two images side by side shows the one at the side of its layout.
//   Vertically the glyph is centred.
// - A disabled button shows its glyph greyed and takes no click.
// - A click (left button pressed and released over the button) runs the click handler through
//   the event dispatcher; DeliverClick does the same for injected input, and nothing while the
//   button or its form is hidden or disabled. The button never takes the keyboard focus.
//
// Ownership: a widget child of its form, found by objectName; the dispatcher must outlive it.
#pragma once

#include "platform/controls/glyph_picture.h"
#include "platform/controls/window_control.h"
#include "platform/system/event_dispatcher.h"

#include <QWidget>
#include <functional>

namespace tavelio {

enum class ButtonLayout { blGlyphLeft, blGlyphRight };

class GlyphButton final : public WindowControl<QWidget> {
public:
    enum class Style { Flat, Push };

    // Made shown, enabled, without a glyph, layout blGlyphLeft, margin -1.
    GlyphButton(QWidget* form, const char* name, int left, int top, int width, int height,
                Style style, EventDispatcher& dispatcher);

    void SetGlyph(const GlyphPicture& glyph);
    ButtonLayout Layout() const { return layout_; }
    void SetLayout(ButtonLayout layout);
    void SetMargin(int margin);

    void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    void DeliverClick();

    // "kind" "button", the common properties, "style" ("flat", "push"), "layout" ("blGlyphLeft",
    // "blGlyphRight"), "margin", "glyph" ({"width", "height"}, or null).
    nlohmann::json Describe() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPoint GlyphPosition() const;

    EventDispatcher& dispatcher_;
    Style style_;
    GlyphPicture glyph_;
    ButtonLayout layout_ = ButtonLayout::blGlyphLeft;
    int margin_ = -1;
    std::function<void()> onClick_;
    bool pressed_ = false;
    bool pointerOver_ = false;
};

} // namespace tavelio
