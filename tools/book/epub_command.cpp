#include "book/epub_command.h"

#include "book/epub_book.h"
#include "book/epub_package.h"
#include "book/epub_web.h"
#include "book/file_bytes.h"
#include "book/tool_error.h"

#include <filesystem>
#include <unistd.h>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

// A folder made beside path under a name of this run, removed again unless it is kept.
class FolderBeside {
public:
    FolderBeside(const std::string& path, const char* purpose)
        : path_(path + "." + purpose + "-" + std::to_string(::getpid())) {}
    ~FolderBeside() {
        if (!kept_) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    FolderBeside(const FolderBeside&) = delete;
    FolderBeside& operator=(const FolderBeside&) = delete;

    const std::string& Path() const { return path_; }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

void Rename(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) {
        throw ToolError(to + ": " + error.message());
    }
}

} // namespace

void RunEpub(const std::string& folder, const std::string& outFile) {
    WriteEpubContainer(EpubFiles(ReadBookForExport(folder)), outFile);
}

void RunWebReadAlong(const std::string& folder, const std::string& outFolder) {
    const ExportedBook book = ReadBookForExport(folder);
    FolderBeside made(outFolder, "partial");
    for (const auto& [name, bytes] : WebReadAlongFiles(book)) {
        const fs::path file = fs::path(made.Path()) / name;
        std::error_code error;
        fs::create_directories(file.parent_path(), error);
        if (error) {
            throw ToolError(file.parent_path().string() + ": " + error.message());
        }
        WriteOutputFile(file.string(), bytes);
    }
    std::error_code error;
    if (!fs::exists(outFolder, error)) {
        Rename(made.Path(), outFolder);
        made.Keep();
        return;
    }
    // An earlier read-along steps aside first, so that the name never holds half of either.
    FolderBeside earlier(outFolder, "earlier");
    Rename(outFolder, earlier.Path());
    Rename(made.Path(), outFolder);
    made.Keep();
}

} // namespace tavelio::book
