// Whole-file reads and writes for the book tool's own inputs and outputs (manifests, fonts,
// picture files), which are not data files of the program: the program's file layer, with
// failures reported naming the file. And the check that a book folder is a folder.
#pragma once

#include <string>
#include <string_view>

namespace tavelio::book {

// The file's bytes; raises ToolError naming the file when it cannot be read.
std::string ReadInputFile(const std::string& path);

// Creates or replaces the file (mode 0644) with the bytes; raises ToolError naming the file
// when that fails.
void WriteOutputFile(const std::string& path, std::string_view bytes);

// Raises ToolError "<path>: no such folder" or "<path>: not a folder", with the path as given,
// unless the path names a folder: a mistyped folder is said as such rather than as a data file
// that can't be found inside it.
void RequireFolder(const std::string& path);

} // namespace tavelio::book
