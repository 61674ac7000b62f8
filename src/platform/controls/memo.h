// Memo: a read-only multi-line text box of a form.
//
// Contract:
// - It holds its lines as the program gives them (Windows-1252). A line wider than the box wraps
//   at word boundaries on the screen and stays one line in Lines().
// - With a vertical scroll bar the text scrolls (by the bar and the wheel); without one, text
//   below the box is cut off. The border is a single sunken line or none.
// - It never takes the keyboard focus (no tab stop, no caret, no selection) and offers no
//   context menu: a right click shows nothing.
// - A mouse button going down, a left click (button pressed and released over it) and a request
//   for the context menu (a right click) each run their handler through the event dispatcher, in
//   that order of events; the Deliver functions do the same for injected input and do nothing
//   while the memo or its form is hidden or disabled.
//
// Ownership: a widget child of its form, found by objectName; the dispatcher must outlive it.
#pragma once

#include "platform/controls/window_control.h"
#include "platform/system/event_dispatcher.h"

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

namespace tavelio {

class Memo final : public WindowControl<QPlainTextEdit> {
public:
    enum class ScrollBars { None, Vertical };
    enum class BorderStyle { Single, None };

    // Made shown, enabled, empty, without scroll bars, with a single border, in the form's font.
    Memo(QWidget* form, const char* name, int left, int top, int width, int height,
         EventDispatcher& dispatcher);

    // Windows-1252.
    const std::vector<std::string>& Lines() const { return lines_; }
    void Clear();
    void Append(const std::string& line);
    void SetLines(std::vector<std::string> lines);

    ScrollBars ScrollBarsShown() const { return scrollBars_; }
    void SetScrollBars(ScrollBars scrollBars);
    void SetBorderStyle(BorderStyle borderStyle);

    std::string FontName() const;
    int FontHeight() const;
    void SetFont(const std::string& faceName, int pixelHeight);
    // Only the height; keeps the face.
    void SetFontHeight(int pixelHeight);

    // The handlers (for example InstructionsClick); none by default.
    void SetOnClick(std::function<void()> handler) { onClick_ = std::move(handler); }
    void SetOnMouseDown(std::function<void()> handler) { onMouseDown_ = std::move(handler); }
    void SetOnContextPopup(std::function<void()> handler) { onContextPopup_ = std::move(handler); }
    void DeliverClick() { Deliver(onClick_); }
    void DeliverMouseDown() { Deliver(onMouseDown_); }
    void DeliverContextPopup() { Deliver(onContextPopup_); }

    // "kind" "memo", the common properties, "lines" (UTF-8), "scrollBars" ("none", "vertical"),
    // "borderStyle" ("single", "none"), "fontName", "fontHeight".
    nlohmann::json Describe() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Deliver(const std::function<void()>& handler);
    void ShowLines();

    EventDispatcher& dispatcher_;
    std::vector<std::string> lines_;
    ScrollBars scrollBars_ = ScrollBars::None;
    BorderStyle borderStyle_ = BorderStyle::Single;
    std::function<void()> onClick_;
    std::function<void()> onMouseDown_;
    std::function<void()> onContextPopup_;
    bool leftPressed_ = false;
};

} // namespace tavelio
