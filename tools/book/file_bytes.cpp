#include "book/file_bytes.h"

#include "base/posix_file.h"
#include "book/tool_error.h"

#include <filesystem>

namespace tavelio::book {

std::string ReadInputFile(const std::string& path) {
    return NamingPathOnError(path, [&] { return ReadWholeFile(path); });
}

void WriteOutputFile(const std::string& path, std::string_view bytes) {
    NamingPathOnError(path, [&] { WriteWholeFile(path, bytes, 0644); });
}

void RequireFolder(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw ToolError(path + ": no such folder");
    }
    if (error) {
        throw ToolError(path + ": " + error.message());
    }
    if (status.type() != std::filesystem::file_type::directory) {
        throw ToolError(path + ": not a folder");
    }
}

} // namespace tavelio::book
