#include "book/book_image.h"

#include "base/posix_file.h"
#include "book/tool_error.h"
#include "content/byte_coding.h"
#include "content/database_reader.h"

#include <algorithm>
#include <cstdint>

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
    WriteEncoded(folder + "/QVDB.dat", database);
    WriteEncoded(folder + "/Graphics.dat", image.archive);
}

} // namespace tavelio::book
