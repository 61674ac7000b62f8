// Where the narration and animation files are found.
#pragma once

#include <string>

namespace tavelio {

// The name a player opens for the bare file name fileName, in the data files' own (Windows)
// form: ".\" + fileName when the installation is full or the kind of file is installed locally,
// otherwise fromPath + "\" + fileName, with fromPath used exactly as it is (one ending in a
// backslash gives two).
std::string MediaPath(const std::string& fromPath, bool fullInstall, bool localInstall,
                      const std::string& fileName);

// Turns a Windows-form path into one this system can open: backslashes become "/", and a path
// component that does not exist with its exact spelling is replaced by an entry of its folder
// whose name matches it without regard to ASCII letter case (the data files come from a system
// whose names ignore case). Where several entries match, the first in byte order is taken; where
// none does, the component and the rest stay as written, so opening the result fails with the
// usual "File not found".
std::string ResolveNativePath(const std::string& path);

} // namespace tavelio
