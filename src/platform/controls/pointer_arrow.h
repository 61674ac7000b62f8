// PointerArrow: the red upward arrow that points at a word from below. It draws only the arrow,
// centred in its rectangle, with no background: what lies beneath shows around it.
//
// Ownership: a widget child of its form, found by objectName.
#pragma once

#include "platform/controls/window_control.h"

#include <QWidget>

namespace tavelio {

class PointerArrow final : public WindowControl<QWidget> {
public:
    // Made shown and enabled.
    PointerArrow(QWidget* form, const char* name, int left, int top, int width, int height);

    // "kind" "arrow" and the common properties.
    nlohmann::json Describe() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavelio
