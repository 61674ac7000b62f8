#include "book/dump_command.h"

#include "base/errors.h"
#include "base/temp_directory.h"
#include "book/record_json.h"
#include "book/tool_error.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/record_fields.h"

#include <filesystem>

namespace tavelio::book {

int RunDump(const std::string& folder, const std::string& fontOut, std::ostream& out,
            std::ostream& err) {
    PageTable table;
    nlohmann::ordered_json error = nullptr;
    const std::string database = (std::filesystem::path(folder) / kDatabaseFileName).string();
    try {
        if (fontOut.empty()) {
            const TempDirectory scratch;
            LoadDatabase(database, scratch.Path() + kFontFileName, table);
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
