// Test helper: makes database files from field texts, encoded as the reader expects them.
#pragma once

#include "content/byte_coding.h"
#include "content/database_reader.h"
#include "content/record_fields.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::test {

using FieldTexts = std::array<std::string, kRecordFieldCount>;

// The content of the font block: a pattern that is not the same at every offset.
inline std::string FontContent() {
    std::string font(kFontBlockSize, '\0');
    for (std::size_t i = 0; i < font.size(); ++i) {
        font[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    }
    return font;
}

inline std::string Encode(const std::string& content) {
    std::string stored(content);
    for (char& c : stored) {
        c = static_cast<char>(EncodeByte(static_cast<std::uint8_t>(c)));
    }
    return stored;
}

// A record's content bytes: every field followed by its TAB.
inline std::string RecordContent(const FieldTexts& fields) {
    std::string content;
    for (const std::string& field : fields) {
        content += field;
        content += '\t';
    }
    return content;
}

// A plain, valid record for the given slot, every field distinct.
inline FieldTexts SampleFields(int slot) {
    const std::string n = std::to_string(slot);
    return {"1",
            std::to_string(slot - 1),
            "L",
            "Title " + n,
            "Listen.~~" + n,
            std::to_string(slot * 1000),
            std::to_string(slot * 100),
            "jpg",
            "225",
            "315",
            "None",
            "Text " + n + "~",
            std::to_string(slot * 10),
            std::to_string(slot * 10 + 5),
            "1",
            "Prompt " + n,
            "3~1000~1~200~1500"};
}

// The stored bytes of a database: the encoded font block followed by the encoded record area.
inline std::string DatabaseBytes(const std::string& recordArea) {
    return Encode(FontContent() + recordArea);
}

inline std::string TwelveSampleRecords() {
    std::string area;
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        area += RecordContent(SampleFields(slot));
    }
    return area;
}

} // namespace tavelio::test
