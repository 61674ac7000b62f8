// The faces the forms are designed with, on a system that does not have them: "Times New Roman"
// and "MS Sans Serif" are drawn with Liberation Serif and Liberation Sans (Debian's
// fonts-liberation2), whose letters have the same widths, so that the designed layouts fit. The
// controls keep the designed names.
#pragma once

namespace tavelio {

// Registers the substitutions with Qt's font matching; calling it again changes nothing.
void SubstituteDesignedFaces();

} // namespace tavelio
