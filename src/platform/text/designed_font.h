// Fonts by the face names the designs use ("Times New Roman", "MS Sans Serif", the handwriting
// face), which the program maps to metric-compatible faces of this system at start.
#pragma once

#include <QFont>
#include <string>

namespace tavelio {

// The font of the designed face at a height in pixels.
QFont DesignedFont(const std::string& faceName, int pixelHeight, bool bold = false);

} // namespace tavelio
