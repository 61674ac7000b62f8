#include "book/book_image.h"

#include "base/posix_file.h"
#include "book/tool_error.h"
#include "content/byte_coding.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <variant>

namespace tavelio::book {
namespace {

void WriteEncoded(const std::string& path, const std::string& content) {
    std::string stored(content);
    std::transform(stored.begin(), stored.end(), stored.begin(), [](char c) {
        return static_cast<char>(EncodeByte(static_cast<std::uint8_t>(c)));
    });
    WriteWholeFile(path, stored, 0644);
}

} // namespace

FieldTexts FieldTextsOf(const QVDBType& record) {
    FieldTexts texts;
    for (std::size_t f = 0; f < kRecordFields.size(); ++f) {
        texts[f] = std::visit(
            [&](auto member) {
                const auto& value = record.*member;
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    return value;
                } else if constexpr (std::is_same_v<Value, char>) {
                    return std::string(1, value);
                } else {
                    return std::to_string(value);
                }
            },
            kRecordFields[f].member);
    }
    return texts;
}

void WriteBookFiles(const BookImage& image, const std::string& folder) {
    if (image.font.size() > kFontBlockSize) {
        throw ToolError("font: " + std::to_string(image.font.size()) +
                        " bytes do not fit the font block of " + std::to_string(kFontBlockSize));
    }
    std::string database = image.font;
    database.resize(kFontBlockSize, '\0');
    for (std::size_t slot = 0; slot < image.records.size(); ++slot) {
        for (std::size_t field = 0; field < kRecordFields.size(); ++field) {
            const std::string& text = image.records[slot][field];
            if (text.find('\t') != std::string::npos) {
                throw ToolError("slot " + std::to_string(slot + 1) + ", " +
                                std::string(kRecordFields[field].name) +
                                ": a TAB would end the field early");
            }
            database += text;
            database += '\t';
        }
    }
    WriteEncoded(folder + "/" + kDatabaseFileName, database);
    WriteEncoded(folder + "/" + kPictureArchiveFileName, image.archive);
}

} // namespace tavelio::book
