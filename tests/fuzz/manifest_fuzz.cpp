// The book manifest reader on any text: a manifest is refused with the tool's own error naming
// the manifest, the page or the file it names, or packed into data files that the program's reader
// loads with exactly the manifest's values, pictures included.
#include "book/book_image.h"
#include "book/pack_command.h"
#include "book/record_json.h"
#include "book/tool_error.h"
#include "content/database_reader.h"
#include "content/record_fields.h"
#include "fuzz_check.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace tavelio::fuzz {
namespace {

using Json = nlohmann::json;

// The files a manifest may name besides itself; the seed corpus names them.
const std::map<std::string, std::string> kFolderFiles{
    {"font.ttf", std::string(300, 'F')},
    {"picture.jpg", "\xFF\xD8 a picture"},
    {"picture.bmp", std::string(2100, 'B')},
};

void MakeFolder() {
    for (const auto& [name, bytes] : kFolderFiles) {
        ScratchFile(name, bytes);
    }
}

// What the reader loads for a field the manifest gives as value.
Json Loaded(const Json& value, const RecordField& field) {
    if (value.is_array()) {
        std::string joined;
        for (std::size_t i = 0; i < value.size(); ++i) {
            joined += (i == 0 ? "" : "~") + value[i].get<std::string>();
        }
        return Loaded(joined, field);
    }
    if (field.kind == FieldKind::TextOrBlank && value == "") {
        return " ";
    }
    if (field.kind == FieldKind::Letter && value == "") {
        return std::string(1, '\0');
    }
    return value;
}

void CheckPage(const Json& page, const QVDBType& record, const std::string& archive) {
    const auto loaded = book::RecordFieldsToJson(record);
    for (const RecordField& field : kRecordFields) {
        const std::string name(field.name);
        if (page.contains(name)) {
            FUZZ_CHECK(Json(loaded.at(name)) == Loaded(page.at(name), field),
                       name + ": " + loaded.at(name).dump());
        }
    }
    if (page.contains("picture")) {
        const std::string bytes =
            test::ReadFile(Scratch().Path(page.at("picture").get<std::string>()));
        FUZZ_CHECK(record.PicSize == static_cast<std::int32_t>(bytes.size()));
        FUZZ_CHECK(Decoded(archive).substr(static_cast<std::size_t>(record.PicOffset),
                                           bytes.size()) == bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool made = (MakeFolder(), true);
    (void)made;
    const std::string manifestPath = ScratchFile("book.json", Bytes(data, size));
    const std::string out = Scratch().Path("out");
    std::filesystem::remove_all(out);
    try {
        book::RunPack(manifestPath, out);
    } catch (const book::ToolError& error) {
        const std::string message = error.what();
        // The manifest, a page of it, or a file it names (all in the scratch folder).
        FUZZ_CHECK(message.starts_with(Scratch().Root().string() + "/") ||
                       message.starts_with("pages["),
                   message);
        FUZZ_CHECK(!std::filesystem::exists(out + "/QVDB.dat"));
        return 0;
    }
    PageTable table;
    LoadDatabase(out + "/QVDB.dat", out + "/font", table);
    const Json manifest = Json::parse(Bytes(data, size), nullptr, true, true);
    const std::string archive = test::ReadFile(out + "/Graphics.dat");
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        CheckPage(manifest.at("pages").at(static_cast<std::size_t>(slot - 1)), table.At(slot),
                  archive);
    }
    FUZZ_CHECK(
        test::ReadFile(out + "/font")
            .starts_with(test::ReadFile(Scratch().Path(manifest.at("font").get<std::string>()))));
    return 0;
}

} // namespace tavelio::fuzz
