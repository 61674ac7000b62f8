#include "book/file_bytes.h"

#include "base/posix_file.h"
#include "book/tool_error.h"

namespace tavelio::book {

std::string ReadInputFile(const std::string& path) {
    return NamingPathOnError(path, [&] { return ReadWholeFile(path); });
}

void WriteOutputFile(const std::string& path, std::string_view bytes) {
    NamingPathOnError(path, [&] { WriteWholeFile(path, bytes, 0644); });
}

} // namespace tavelio::book
