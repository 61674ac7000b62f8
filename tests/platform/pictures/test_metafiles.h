// The metafile tests' pictures: quarters.svg of this folder as tavelio-metafile draws it
// at build time, 16 x 8 pixels of red, green and blue quarters with the fourth left undrawn.
#pragma once

#include "support/scratch_dir.h"

#include <string>

namespace tavelio::test {

// format: "wmf" or "emf".
inline std::string QuartersMetafile(const std::string& format) {
    return ReadFile(std::string(TAVELIO_TEST_METAFILES) + "/quarters." + format);
}

} // namespace tavelio::test
