#include "platform/text/designed_font.h"

namespace tavelio {

QFont DesignedFont(const std::string& faceName, int pixelHeight, bool bold) {
    QFont font(QString::fromStdString(faceName));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

} // namespace tavelio
