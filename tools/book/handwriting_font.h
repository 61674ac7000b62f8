// TEMPORARY until the font branch lands
#pragma once
#include "book/file_bytes.h"

#include <string>
namespace tavelio::book {
inline std::string MakeHandwritingFont(const std::string& path) {
    return ReadInputFile(path);
}
} // namespace tavelio::book
