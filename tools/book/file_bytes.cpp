#include "book/file_bytes.h"

#include "book/tool_error.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tavelio::book {

std::string ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw ToolError(path + ": no such file");
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad() || !in.is_open()) {
        throw ToolError(path + ": cannot be read");
    }
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw ToolError(path + ": cannot be written");
    }
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
