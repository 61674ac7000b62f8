// Whole-file reads and writes for the book tool's own inputs and outputs (manifests, fonts,
// picture files), which are not data files of the program.
#pragma once

#include <string>

namespace tavelio::book {

// The file's bytes; raises ToolError naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Creates or replaces the file with the bytes; raises ToolError when that fails.
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace tavelio::book
