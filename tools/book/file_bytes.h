// Whole-file reads and writes for the book tool's own inputs and outputs (manifests, fonts,
// picture files), which are not data files of the program, and the check of a book folder.
#pragma once

#include <string>

namespace tavelio::book {

// The file's bytes; raises ToolError naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Creates or replaces the file with the bytes; raises ToolError when that fails.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Raises ToolError "<path>: no such folder" or "<path>: not a folder", with the path as given,
// unless the path names a folder: a mistyped folder is said as such rather than as a data file
// that can't be found inside it.
void RequireFolder(const std::string& path);

} // namespace tavelio::book
