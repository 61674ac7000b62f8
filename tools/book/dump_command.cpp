#include "book/dump_command.h"

#include "base/errors.h"
#include "book/record_json.h"
#include "book/tool_error.h"
#include "content/database_reader.h"
#include "content/record_fields.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tavelio::book {
namespace {

// A private file in the system's temporary folder that is removed when the object goes.
class TemporaryFile {
public:
    TemporaryFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavelio-font-XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            throw ToolError("cannot make a temporary file for the font");
        }
        ::close(fd);
        path_ = pattern;
    }
    ~TemporaryFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

int RunDump(const std::string& folder, const std::string& fontOut, std::ostream& out,
            std::ostream& err) {
    PageTable table;
    nlohmann::ordered_json error = nullptr;
    const std::string database = (std::filesystem::path(folder) / "QVDB.dat").string();
    try {
        if (fontOut.empty()) {
            const TemporaryFile font;
            LoadDatabase(database, font.Path(), table);
        } else {
            LoadDatabase(database, fontOut, table);
        }
    } catch (const Error& raised) {
        error = ErrorBoxText(raised.what());
        err << database << ": " << ErrorBoxText(raised.what()) << '\n';
    }

    nlohmann::ordered_json json;
    json["error"] = error;
    json["records"] = nlohmann::ordered_json::array();
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        nlohmann::ordered_json record;
        record["slot"] = slot;
        record.update(RecordFieldsToJson(table.At(slot)));
        json["records"].push_back(std::move(record));
    }
    out << json.dump(2) << '\n';
    return error.is_null() ? 0 : 1;
}

} // namespace tavelio::book
