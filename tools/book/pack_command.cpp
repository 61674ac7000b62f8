#include "book/pack_command.h"

#include "base/text_encoding.h"
#include "book/file_bytes.h"
#include "book/tool_error.h"
#include "content/database_reader.h"
#include "content/page_rules.h"
#include "content/picture_archive.h"
#include "content/record_fields.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr std::string_view kPictureKey = "picture";
// The copy counts its blocks in a signed 16-bit number, so a picture has at most this many.
constexpr std::int64_t kMaxPictureBlocks = 32767;

// Reads the pages of a manifest, refusing anything the reader would misread.
class ManifestReader {
public:
    explicit ManifestReader(const std::string& manifestPath)
        : path_(manifestPath), folder_(fs::path(manifestPath).parent_path()) {}

    BookImage Read() {
        const Json manifest = Parse();
        if (!manifest.is_object()) {
            throw ToolError(path_ + ": the manifest must be a JSON object");
        }
        for (const auto& [key, value] : manifest.items()) {
            if (key != "font" && key != "pages" && key != "archive") {
                throw ToolError(path_ + ": unknown key \"" + key + "\"");
            }
        }
        BookImage image;
        image.font = ReadFont(manifest);
        if (manifest.contains("archive")) {
            image.archive = ReadFile(manifest.at("archive"), "archive");
        }
        const Json& pages = Pages(manifest);
        for (std::size_t index = 0; index < pages.size(); ++index) {
            image.records[index] = ReadPage(pages[index], index, image.archive);
        }
        return image;
    }

private:
    Json Parse() const {
        const std::string text = ReadInputFile(path_);
        try {
            return Json::parse(text, nullptr, true, true);
        } catch (const Json::exception& error) {
            // Not only syntax: a number beyond a double ("1e400") is refused as out of range.
            throw ToolError(path_ + ": not valid JSON: " + error.what());
        }
    }

    fs::path Resolve(const std::string& relative) const { return folder_ / relative; }

    std::string ReadFile(const Json& name, const std::string& key) const {
        if (!name.is_string()) {
            throw ToolError(path_ + ": \"" + key + "\" must be a file name");
        }
        return ReadInputFile(Resolve(name.get<std::string>()).string());
    }

    std::string ReadFont(const Json& manifest) const {
        if (!manifest.contains("font")) {
            throw ToolError(path_ + ": \"font\" is missing");
        }
        std::string font = ReadFile(manifest.at("font"), "font");
        if (font.size() > kFontBlockSize) {
            throw ToolError(path_ + ": font " + manifest.at("font").get<std::string>() + " is " +
                            std::to_string(font.size()) + " bytes; the font block holds " +
                            std::to_string(kFontBlockSize));
        }
        return font;
    }

    const Json& Pages(const Json& manifest) const {
        if (!manifest.contains("pages") || !manifest.at("pages").is_array()) {
            throw ToolError(path_ + ": \"pages\" must be a list of pages");
        }
        const Json& pages = manifest.at("pages");
        if (pages.size() != kDatabaseRecordCount) {
            throw ToolError(path_ + ": " + std::to_string(pages.size()) +
                            " pages given; a book is exactly " +
                            std::to_string(kDatabaseRecordCount) + " pages");
        }
        return pages;
    }

    static std::string Where(std::size_t index, std::string_view field) {
        return "pages[" + std::to_string(index) + "] (slot " + std::to_string(index + 1) +
               "), field " + std::string(field);
    }

    FieldTexts ReadPage(const Json& page, std::size_t index, std::string& archive) {
        if (!page.is_object()) {
            throw ToolError(path_ + ": pages[" + std::to_string(index) + "] must be an object");
        }
        for (const auto& item : page.items()) {
            const std::string& key = item.key();
            const bool known = key == kPictureKey ||
                               std::any_of(kRecordFields.begin(), kRecordFields.end(),
                                           [&](const RecordField& f) { return f.name == key; });
            if (!known) {
                throw ToolError(Where(index, key) + ": not a field of a page");
            }
        }
        FieldTexts texts;
        for (std::size_t f = 0; f < kRecordFields.size(); ++f) {
            const RecordField& field = kRecordFields[f];
            const std::string key(field.name);
            if (page.contains(key)) {
                texts[f] = FieldText(page.at(key), field, Where(index, key));
            } else {
                texts[f] = IsNumberField(field.kind) ? "0" : "";
            }
            if (field.kind == FieldKind::TextOrBlank && texts[f].empty()) {
                texts[f] = " ";
            }
        }
        if (page.contains(kPictureKey)) {
            AddPicture(page, index, texts, archive);
        }
        return texts;
    }

    static std::string FieldText(const Json& value, const RecordField& field,
                                 const std::string& where) {
        if (IsNumberField(field.kind)) {
            return NumberText(value, field.kind, where);
        }
        std::string text = Cp1252Text(RawText(value, field.kind, where), where);
        if (text.find('\t') != std::string::npos) {
            throw ToolError(where + ": contains a TAB, which would end the field early");
        }
        if (field.kind == FieldKind::Letter && text.size() > 1) {
            throw ToolError(where + ": \"" + value.get<std::string>() +
                            "\" is more than one character; the reader keeps only the last");
        }
        return text;
    }

    static std::string NumberText(const Json& value, FieldKind kind, const std::string& where) {
        if (!value.is_number_integer()) {
            throw ToolError(where + ": " + value.dump() + " is not a whole number");
        }
        const FieldRange range = RangeOf(kind);
        const bool tooLarge = value.is_number_unsigned() ? value.get<std::uint64_t>() >
                                                               static_cast<std::uint64_t>(range.max)
                                                         : value.get<std::int64_t>() > range.max;
        if (tooLarge || (!value.is_number_unsigned() && value.get<std::int64_t>() < range.min)) {
            throw ToolError(where + ": " + value.dump() + " is outside the field's range " +
                            std::to_string(range.min) + " to " + std::to_string(range.max));
        }
        return std::to_string(value.get<std::int64_t>());
    }

    // The field's UTF-8 text: a string as it is, or a list of lines joined with "~".
    static std::string RawText(const Json& value, FieldKind kind, const std::string& where) {
        if (value.is_string()) {
            return value.get<std::string>();
        }
        if (!value.is_array() || kind == FieldKind::Letter) {
            throw ToolError(where + (kind == FieldKind::Letter
                                         ? ": must be a string of one character or none"
                                         : ": must be a string or a list of lines"));
        }
        std::string joined;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (!value[i].is_string()) {
                throw ToolError(where + ": line " + std::to_string(i + 1) + " is not a string");
            }
            const std::string line = value[i].get<std::string>();
            if (line.find('~') != std::string::npos) {
                throw ToolError(where + ": line " + std::to_string(i + 1) +
                                " holds a \"~\", which would split it into two lines");
            }
            joined += (i == 0 ? "" : "~") + line;
        }
        if (!value.empty() && value.back().get<std::string>().empty()) {
            throw ToolError(where + ": the last line is empty, and a trailing empty line is not "
                                    "read back; give the raw string ending in \"~~\" instead");
        }
        return joined;
    }

    static std::string Cp1252Text(const std::string& utf8, const std::string& where) {
        char32_t refused = 0;
        auto bytes = Utf8ToCp1252(utf8, &refused);
        if (!bytes) {
            throw ToolError(where + ": character " + CodePointName(refused) +
                            " is not in Windows-1252");
        }
        return *bytes;
    }

    void AddPicture(const Json& page, std::size_t index, FieldTexts& texts, std::string& archive) {
        const std::string where = Where(index, kPictureKey);
        const Json& picture = page.at(kPictureKey);
        if (!picture.is_string()) {
            throw ToolError(where + ": must be a file name");
        }
        constexpr std::string_view kOffset = FieldNameOf(&QVDBType::PicOffset);
        constexpr std::string_view kSize = FieldNameOf(&QVDBType::PicSize);
        constexpr std::string_view kType = FieldNameOf(&QVDBType::PicType);
        for (const std::string_view field : {kOffset, kSize}) {
            if (page.contains(field)) {
                throw ToolError(Where(index, field) +
                                ": given together with a picture, which sets it");
            }
        }
        const std::string name = picture.get<std::string>();
        std::string& picType = texts[FieldIndexOf(&QVDBType::PicType)];
        if (!page.contains(kType)) {
            std::string extension = fs::path(name).extension().string();
            if (extension.size() < 2) {
                throw ToolError(where + ": " + name + " has no extension; give " +
                                std::string(kType));
            }
            picType = Cp1252Text(extension.substr(1), Where(index, kType));
        }
        if (picType == kNoPictureType) {
            throw ToolError(Where(index, kType) + ": \"" + kNoPictureType +
                            "\" marks a page without a picture, but a picture is given");
        }
        const fs::path file = Resolve(name);
        std::error_code error;
        if (!fs::is_regular_file(file, error)) {
            throw ToolError(where + ": picture file " + file.string() + " is missing");
        }
        const std::string key = fs::weakly_canonical(file, error).string();
        auto stored = pictures_.find(key);
        if (stored == pictures_.end()) {
            const std::string bytes = ReadInputFile(file.string());
            const auto size = static_cast<std::int64_t>(bytes.size());
            if (size / static_cast<std::int64_t>(kPictureBlockSize) > kMaxPictureBlocks) {
                throw ToolError(where + ": " + name + " is " + std::to_string(size) +
                                " bytes; a picture holds at most " +
                                std::to_string(kMaxPictureBlocks) + " whole kilobytes");
            }
            if (static_cast<std::int64_t>(archive.size()) + size > INT32_MAX) {
                throw ToolError(where + ": the picture archive would exceed 2 GiB");
            }
            stored = pictures_.emplace(key, Placed{static_cast<std::int64_t>(archive.size()), size})
                         .first;
            archive += bytes;
        }
        texts[FieldIndexOf(&QVDBType::PicOffset)] = std::to_string(stored->second.offset);
        texts[FieldIndexOf(&QVDBType::PicSize)] = std::to_string(stored->second.size);
    }

    struct Placed {
        std::int64_t offset;
        std::int64_t size;
    };

    std::string path_;
    fs::path folder_;
    std::map<std::string, Placed> pictures_; // by canonical file path
};

} // namespace

BookImage ReadManifest(const std::string& manifestPath) {
    return ManifestReader(manifestPath).Read();
}

void RunPack(const std::string& manifestPath, const std::string& outFolder) {
    const BookImage image = ReadManifest(manifestPath);
    std::error_code error;
    fs::create_directories(outFolder, error);
    if (error) {
        throw ToolError(outFolder + ": cannot make the folder: " + error.message());
    }
    NamingPathOnError(outFolder, [&] { WriteBookFiles(image, outFolder); });
}

} // namespace tavelio::book
