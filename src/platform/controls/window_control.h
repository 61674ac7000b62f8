// WindowControl: what every window control of a form (label, picture box, memo, button, edit
// field, rule, arrow, video display) offers the program, in the designs' own vocabulary. The
// program shows, hides, enables, places and sizes its controls only through these names; Qt's
// widget API stays inside the platform.
//
// - SetVisible and SetEnabled change the control's own settings; OwnVisible and OwnEnabled read
//   them back, whether or not the form is shown or enabled (a control of a hidden form is still
//   "visible").
// - Left, Top, Width and Height are the control's rectangle in its form's client area. Setting the
//   size (SetWidth, SetHeight, SetBounds) tells the control, which may adjust it (a label that
//   sizes itself to its text does).
// - The hint is the text shown while the pointer rests on the control, where the design shows it;
//   the cursor shape is the pointer's shape over the control.
//
// Ownership: the control is a widget child of its form, named by objectName, and destroyed with
// the form.
#pragma once

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"

#include <QString>
#include <QWidget>
#include <nlohmann/json.hpp>
#include <string>

namespace tavelio {

template <typename Widget> class WindowControl : public Widget, public Control {
public:
    void SetVisible(bool visible) { this->setVisible(visible); }
    void SetEnabled(bool enabled) { this->setEnabled(enabled); }
    bool OwnVisible() const { return tavelio::OwnVisible(*this); }
    bool OwnEnabled() const { return tavelio::OwnEnabled(*this); }

    int Left() const { return this->x(); }
    int Top() const { return this->y(); }
    int Width() const { return this->width(); }
    int Height() const { return this->height(); }
    void SetLeft(int left) { this->move(left, Top()); }
    void SetTop(int top) { this->move(Left(), top); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    void SetBounds(int left, int top, int width, int height) {
        this->setGeometry(left, top, width, height);
        SizeSet();
    }

    // Windows-1252. show false keeps the text without showing it.
    void SetHint(const std::string& text, bool show = true) { hint_.Apply(*this, text, show); }
    const std::string& HintText() const { return hint_.Text(); }
    void SetCursorShape(CursorShape shape) {
        cursor_ = shape;
        ApplyCursor(*this, shape);
    }

protected:
    WindowControl(QWidget* form, const char* name) : Widget(form) {
        this->setObjectName(QString::fromUtf8(name));
    }

    // The program has just set the control's size.
    virtual void SizeSet() {}

    // "kind", "visible", "enabled", "left", "top", "width", "height", "hint", "showHint",
    // "cursor": the start of every window control's description.
    nlohmann::json DescribeWindowControl(const char* kind) const {
        nlohmann::json description = DescribeControlWidget(*this, kind);
        description["hint"] = hint_.Utf8Text();
        description["showHint"] = hint_.Shown();
        description["cursor"] = CursorName(cursor_);
        return description;
    }

private:
    Hint hint_;
    CursorShape cursor_ = CursorShape::Default;
};

} // namespace tavelio
