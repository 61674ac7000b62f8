#include "book/unpack_command.h"

#include "base/posix_file.h"
#include "book/file_bytes.h"
#include "book/record_json.h"
#include "book/tool_error.h"
#include "content/byte_coding.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/page_rules.h"
#include "content/record_fields.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr const char* kManifestName = "book.json";
constexpr const char* kArchiveCopyName = "Graphics.bin";

// The archive's decoded bytes; empty when there is no archive and no page needs one.
std::string ReadArchive(const fs::path& path, bool needed) {
    std::error_code error;
    if (!needed && !fs::exists(path, error)) {
        return {};
    }
    std::string bytes = ReadWholeFile(path.string());
    std::transform(bytes.begin(), bytes.end(), bytes.begin(), [](char c) {
        return static_cast<char>(DecodeByte(static_cast<std::uint8_t>(c)));
    });
    return bytes;
}

using PictureKey = std::pair<std::int32_t, std::int32_t>; // offset, size

bool InsideArchive(const PictureKey& picture, std::size_t archiveSize) {
    return picture.first >= 0 && picture.second >= 0 &&
           static_cast<std::int64_t>(picture.first) + picture.second <=
               static_cast<std::int64_t>(archiveSize);
}

// Whether packing the pictures one after another, in the order pages first name them, gives
// back exactly this archive and these offsets.
bool LaidOutAsPackDoes(const PageTable& table, std::size_t archiveSize) {
    std::map<PictureKey, bool> seen;
    std::int64_t end = 0;
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        const QVDBType& record = table.At(slot);
        if (!HasPicture(record)) {
            continue;
        }
        const PictureKey key{record.PicOffset, record.PicSize};
        if (seen.contains(key)) {
            continue;
        }
        if (key.second < 0 || key.first != end) {
            return false;
        }
        seen[key] = true;
        end += key.second;
    }
    return end == static_cast<std::int64_t>(archiveSize);
}

std::string FileExtension(const std::string& picType) {
    const bool plain =
        !picType.empty() && picType.size() <= 10 &&
        std::all_of(picType.begin(), picType.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
    return plain ? picType : "bin";
}

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// The output folder, made when missing and removed again unless the unpack completes, so that a
// failed unpack leaves no folder of its own making behind.
class OutputFolder {
public:
    explicit OutputFolder(const std::string& path) : path_(path) {
        std::error_code error;
        made_ = !fs::exists(path_, error);
        fs::create_directories(path_ / "pictures", error);
        if (error) {
            throw ToolError(path + ": cannot make the folder: " + error.message());
        }
    }
    ~OutputFolder() {
        if (made_ && !complete_) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const fs::path& Path() const { return path_; }
    void Complete() { complete_ = true; }

private:
    fs::path path_;
    bool made_ = false;
    bool complete_ = false;
};

} // namespace

void RunUnpack(const std::string& folder, const std::string& outFolder, std::ostream& out) {
    RequireFolder(folder);
    const fs::path source(folder);
    OutputFolder output(outFolder);
    const fs::path& target = output.Path();

    PageTable table;
    const fs::path database = source / kDatabaseFileName;
    NamingPathOnError(database.string(), [&] {
        LoadDatabase(database.string(), (target / kFontFileName).string(), table);
    });
    fs::permissions(target / kFontFileName, fs::perms::owner_read | fs::perms::group_read |
                                                fs::perms::others_read | fs::perms::owner_write);

    bool needed = false;
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        needed = needed || HasPicture(table.At(slot));
    }
    const fs::path archivePath = source / kPictureArchiveFileName;
    const std::string archive =
        NamingPathOnError(archivePath.string(), [&] { return ReadArchive(archivePath, needed); });
    const bool packLayout = LaidOutAsPackDoes(table, archive.size());

    Json manifest;
    manifest["font"] = kFontFileName;
    if (!packLayout) {
        WriteOutputFile((target / kArchiveCopyName).string(), archive);
        manifest["archive"] = kArchiveCopyName;
        out << "note: the picture archive is not laid out as pack lays it out; it is kept whole "
               "as "
            << kArchiveCopyName << " and the pages keep their PicOffset and PicSize\n";
    }

    std::map<PictureKey, std::string> files;
    Json pages = Json::array();
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        const QVDBType& record = table.At(slot);
        const Json fields = RecordFieldsToJson(record);
        Json page;
        std::string pictureFile;
        if (HasPicture(record)) {
            const PictureKey key{record.PicOffset, record.PicSize};
            if (!InsideArchive(key, archive.size())) {
                out << "note: slot " << slot << ": the picture lies outside the archive; no file "
                    << "written\n";
            } else if (auto known = files.find(key); known != files.end()) {
                pictureFile = known->second;
            } else {
                pictureFile =
                    "pictures/slot" + TwoDigits(slot) + "." + FileExtension(record.PicType);
                WriteOutputFile((target / pictureFile).string(),
                                archive.substr(static_cast<std::size_t>(key.first),
                                               static_cast<std::size_t>(key.second)));
                files.emplace(key, pictureFile);
            }
        }
        const bool byFile = packLayout && HasPicture(record);
        for (const RecordField& field : kRecordFields) {
            const std::string name(field.name);
            if (field.kind == FieldKind::Letter) {
                page[name] = record.Letter == '\0' ? Json("") : fields.at(name);
            } else if (byFile && name == FieldNameOf(&QVDBType::PicType)) {
                page["picture"] = pictureFile;
                page[name] = fields.at(name);
            } else if (!(byFile && (name == FieldNameOf(&QVDBType::PicOffset) ||
                                    name == FieldNameOf(&QVDBType::PicSize)))) {
                page[name] = fields.at(name);
            }
        }
        pages.push_back(std::move(page));
    }
    manifest["pages"] = std::move(pages);
    WriteOutputFile((target / kManifestName).string(), manifest.dump(2) + "\n");
    output.Complete();
    out << "unpacked " << kDatabaseRecordCount << " pages and " << files.size() << " pictures into "
        << outFolder << " (manifest " << kManifestName << ")\n";
}

} // namespace tavelio::book
