#include "platform/controls/control_look.h"

#include "base/text_encoding.h"

namespace tavelio {

void ApplyCursor(QWidget& widget, CursorShape shape) {
    switch (shape) {
    case CursorShape::Default:
        widget.unsetCursor();
        break;
    case CursorShape::Arrow:
        widget.setCursor(Qt::ArrowCursor);
        break;
    case CursorShape::NoEntry:
        widget.setCursor(Qt::ForbiddenCursor);
        break;
    case CursorShape::HourGlass:
        widget.setCursor(Qt::WaitCursor);
        break;
    case CursorShape::HandPoint:
        widget.setCursor(Qt::PointingHandCursor);
        break;
    }
}

const char* CursorName(CursorShape shape) {
    switch (shape) {
    case CursorShape::Default:
        return "default";
    case CursorShape::Arrow:
        return "arrow";
    case CursorShape::NoEntry:
        return "no-entry";
    case CursorShape::HourGlass:
        return "hourglass";
    case CursorShape::HandPoint:
        return "hand";
    }
    return "default";
}

void Hint::Apply(QWidget& widget, const std::string& text, bool show) {
    text_ = text;
    shown_ = show;
    widget.setToolTip(show ? QString::fromStdString(Cp1252ToUtf8(text)) : QString());
    // Hints show whether or not the window has the keyboard focus, which on a display without a
    // window manager it may never get.
    widget.setAttribute(Qt::WA_AlwaysShowToolTips, show);
}

std::string Hint::Utf8Text() const {
    return Cp1252ToUtf8(text_);
}

bool OwnVisible(const QWidget& widget) {
    // A child that was never shown or hidden explicitly follows its form, so it counts as shown
    // even before the form first appears (Qt marks it hidden until then).
    return !(widget.isHidden() && widget.testAttribute(Qt::WA_WState_ExplicitShowHide));
}

bool OwnEnabled(const QWidget& widget) {
    return !widget.testAttribute(Qt::WA_ForceDisabled);
}

nlohmann::json DescribeControlWidget(const QWidget& widget, const char* kind) {
    return {{"kind", kind},
            {"visible", OwnVisible(widget)},
            {"enabled", OwnEnabled(widget)},
            {"left", widget.x()},
            {"top", widget.y()},
            {"width", widget.width()},
            {"height", widget.height()}};
}

} // namespace tavelio
