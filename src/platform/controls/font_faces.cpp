#include "platform/controls/font_faces.h"

#include <QFont>

namespace tavelio {

void SubstituteDesignedFaces() {
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

} // namespace tavelio
