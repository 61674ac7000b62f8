// Opening a name that the data files give in their own (Windows) form on this system.
#pragma once

#include <string>

namespace tavelio {

// Turns a Windows-form path into one this system can open: backslashes become "/", and a path
// component that does not exist with its exact spelling is replaced by an entry of its folder
// whose name matches it without regard to ASCII letter case (the data files come from a system
// whose names ignore case). Where several entries match, the first in byte order is taken; where
// none does, the component and the rest stay as written, so opening the result fails with the
// usual "File not found".
std::string ResolveNativePath(const std::string& path);

} // namespace tavelio
