// RuleLine: a horizontal rule of handwriting paper, drawn over whatever lies beneath it (the
// viewer's ruled text lines lie beneath their rules). A solid rule fills its rectangle in black;
// a dotted rule is a row of short black dashes as high as the rule, 2 pixels wide at a pitch of
// 4, starting 1 pixel in from the left: the dotted middle line of the designs, which drew it as
// the tops of a row of bold capital I's. Between the dashes, what lies beneath shows.
//
// Ownership: a widget child of its form, found by objectName.
#pragma once

#include "platform/controls/window_control.h"

#include <QWidget>

namespace tavelio {

class RuleLine final : public WindowControl<QWidget> {
public:
    enum class Style { Solid, Dotted };

    // Made shown and enabled. It ignores the mouse: clicks reach what lies beneath.
    RuleLine(QWidget* form, const char* name, int left, int top, int width, int height,
             Style style);

    // "kind" "rule", the common properties, "style" ("solid", "dotted").
    nlohmann::json Describe() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style style_;
};

} // namespace tavelio
