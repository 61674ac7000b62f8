// The field layout of a page record in the database: which field comes where and how its text
// becomes a record value. The reader and the tools that write or check data files share it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tavelio {

enum class FieldKind {
    Unsigned8,   // number cut to the low 8 bits, unsigned
    Signed8,     // number cut to the low 8 bits, signed
    Signed16,    // number cut to the low 16 bits, signed
    Signed32,    // number, all 32 bits
    Letter,      // one character: the field's last character
    Text,        // string as it is
    TextOrBlank, // string as it is, " " when the field is empty
};

struct FieldSpec {
    std::string_view name;
    FieldKind kind;
};

constexpr int kRecordFieldCount = 17;
constexpr int kDatabaseRecordCount = 12;

// The fields in file order (index 0 is field 1).
constexpr std::array<FieldSpec, kRecordFieldCount> kRecordFields{{
    {"BookNo", FieldKind::Unsigned8},
    {"PageNo", FieldKind::Unsigned8},
    {"Letter", FieldKind::Letter},
    {"Title", FieldKind::Text},
    {"InstructionText", FieldKind::Text},
    {"PicOffset", FieldKind::Signed32},
    {"PicSize", FieldKind::Signed32},
    {"PicType", FieldKind::Text},
    {"MediaHeight", FieldKind::Signed16},
    {"MediaWidth", FieldKind::Signed16},
    {"AniFile", FieldKind::Text},
    {"PageText", FieldKind::Text},
    {"SpeechStart", FieldKind::Signed32},
    {"SpeechEnd", FieldKind::Signed32},
    {"PageKind", FieldKind::Signed8},
    {"PromptText", FieldKind::TextOrBlank},
    {"ScriptText", FieldKind::TextOrBlank},
}};

// The range of values a number field can hold.
struct FieldRange {
    std::int64_t min;
    std::int64_t max;
};

constexpr FieldRange RangeOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Unsigned8:
        return {0, 255};
    case FieldKind::Signed8:
        return {-128, 127};
    case FieldKind::Signed16:
        return {-32768, 32767};
    default:
        return {-2147483648LL, 2147483647LL};
    }
}

constexpr bool IsNumberField(FieldKind kind) {
    return kind == FieldKind::Unsigned8 || kind == FieldKind::Signed8 ||
           kind == FieldKind::Signed16 || kind == FieldKind::Signed32;
}

} // namespace tavelio
