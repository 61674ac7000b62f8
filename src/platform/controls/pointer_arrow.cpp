#include "platform/controls/pointer_arrow.h"

#include <QPainter>
#include <QPolygonF>

namespace tavelio {

PointerArrow::PointerArrow(QWidget* form, const char* name, int left, int top, int width,
                           int height)
    : WindowControl(form, name) {
    setGeometry(left, top, width, height);
}

void PointerArrow::paintEvent(QPaintEvent*) {
    // An arrow head two fifths of the height over a shaft a fifth of the width, as the arrow
    // character of a symbol face is drawn, in the designs' pure red.
    const qreal w = width();
    const qreal h = height();
    const qreal middle = w / 2;
    const qreal head = h * 0.4;
    const qreal shaft = w / 10;
    const QPolygonF arrow({{middle, 1},
                           {w - 3, head},
                           {middle + shaft, head},
                           {middle + shaft, h - 1},
                           {middle - shaft, h - 1},
                           {middle - shaft, head},
                           {3, head}});
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 0, 0));
    painter.drawPolygon(arrow);
}

nlohmann::json PointerArrow::Describe() const {
    return DescribeWindowControl("arrow");
}

} // namespace tavelio
