// EditField: a single-line edit field of a form. The program writes its text; the viewer's
// diagnostic fields are edit fields that are never shown.
//
// Ownership: a widget child of its form, found by objectName.
#pragma once

#include "platform/controls/window_control.h"

#include <QLineEdit>
#include <string>

namespace tavelio {

class EditField final : public WindowControl<QLineEdit> {
public:
    // Made shown, enabled and empty.
    EditField(QWidget* form, const char* name, int left, int top, int width, int height);

    // Windows-1252.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);

    // "kind" "edit", the common properties, "text" (UTF-8).
    nlohmann::json Describe() const override;

private:
    std::string text_;
};

} // namespace tavelio
