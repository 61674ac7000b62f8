#include "book/book_font.h"

#include "book/file_bytes.h"
#include "book/handwriting_font.h"
#include "book/tool_error.h"

#include <array>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

constexpr std::array kLicenceNames = {"OFL.txt", "LICENSE", "LICENSE.txt", "COPYING"};

std::optional<fs::path> LicenceBeside(const fs::path& font) {
    for (const char* name : kLicenceNames) {
        const fs::path licence = font.parent_path() / name;
        std::error_code error;
        if (fs::is_regular_file(licence, error)) {
            return licence;
        }
    }
    return std::nullopt;
}

// The books' own face's licence: installed with the tool (PREFIX/share/tavelio/fonts beside
// PREFIX/bin), or in the source tree the tool was built from.
fs::path OwnFaceLicence() {
    std::error_code error;
    const fs::path tool = fs::read_symlink("/proc/self/exe", error);
    const fs::path installed =
        tool.parent_path().parent_path() / "share" / "tavelio" / "fonts" / "OFL.txt";
    if (!error && fs::is_regular_file(installed, error)) {
        return installed;
    }
    return TAVELIO_SOURCE_FONT_LICENCE;
}

} // namespace

BookFont ReadBookFont(const BookSource& source) {
    if (!source.font) {
        return {MakeHandwritingFont(TAVELIO_OWN_FACE_SOURCE), OwnFaceLicence()};
    }
    try {
        return {MakeHandwritingFont(source.font->string()), LicenceBeside(*source.font)};
    } catch (const ToolError& error) {
        throw ToolError(source.file.string() + ", font: " + error.what());
    }
}

} // namespace tavelio::book
