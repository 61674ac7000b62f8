// What the window-system controls of the forms (labels, pictures) share: the mouse cursor over
// them, their hint, and the part of their description every control gives.
#pragma once

#include "platform/text/designed_font.h"

#include <QFont>
#include <QWidget>
#include <nlohmann/json.hpp>
#include <string>

namespace tavelio {

// Mouse cursors by the names the designs use. Default takes the cursor of the form (or of the
// control below), as a control that sets none does.
enum class CursorShape { Default, Arrow, NoEntry, HourGlass, HandPoint };

// Sets (or, for Default, unsets) the widget's cursor.
void ApplyCursor(QWidget& widget, CursorShape shape);
// "default", "arrow", "no-entry", "hourglass", "hand".
const char* CursorName(CursorShape shape);

// A control's hint text and whether it is shown when the pointer rests on the control (as a
// tooltip, also over an inactive window). Windows-1252.
class Hint {
public:
    void Apply(QWidget& widget, const std::string& text, bool show);
    const std::string& Text() const { return text_; }
    std::string Utf8Text() const;
    bool Shown() const { return shown_; }

private:
    std::string text_;
    bool shown_ = false;
};

// Font sizes that the designs give in points, in pixels at the designs' 96 pixels per inch,
// rounded to the nearest pixel: 14 points are 19 pixels, 12 points 16.
constexpr int PixelsOfPoints(int points) {
    return (points * 96 + 36) / 72;
}

// The widget's own Visible and Enabled settings (not whether its form shows or is enabled).
bool OwnVisible(const QWidget& widget);
bool OwnEnabled(const QWidget& widget);

// {"kind", "visible", "enabled", "left", "top", "width", "height"} of a control widget.
nlohmann::json DescribeControlWidget(const QWidget& widget, const char* kind);

} // namespace tavelio
