#include "platform/controls/rule_line.h"

#include <QPainter>

namespace tavelio {
namespace {

constexpr int kDashOffset = 1;
constexpr int kDashWidth = 2;
constexpr int kDashPitch = 4;

} // namespace

RuleLine::RuleLine(QWidget* form, const char* name, int left, int top, int width, int height,
                   Style style)
    : WindowControl(form, name), style_(style) {
    setGeometry(left, top, width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RuleLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (style_ == Style::Solid) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    for (int x = kDashOffset; x < width(); x += kDashPitch) {
        painter.fillRect(x, 0, kDashWidth, height(), Qt::black);
    }
}

nlohmann::json RuleLine::Describe() const {
    nlohmann::json description = DescribeWindowControl("rule");
    description["style"] = style_ == Style::Solid ? "solid" : "dotted";
    return description;
}

} // namespace tavelio
