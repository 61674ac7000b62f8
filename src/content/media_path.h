// Where the narration and animation files are found, in the data files' own (Windows) form;
// ResolveNativePath (base/native_path.h) turns such a name into one this system opens.
#pragma once

#include <string>

namespace tavelio {

// The name a player opens for the bare file name fileName, in the data files' own (Windows)
// form: ".\" + fileName when the installation is full or the kind of file is installed locally,
// otherwise fromPath + "\" + fileName, with fromPath used exactly as it is (one ending in a
// backslash gives two).
std::string MediaPath(const std::string& fromPath, bool fullInstall, bool localInstall,
                      const std::string& fileName);

} // namespace tavelio
