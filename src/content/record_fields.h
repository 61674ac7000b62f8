// The one table of a page record's fields: for each field of the database, in file order, its
// name, how its text becomes a value, and the record member it fills. The reader, the tools that
// print records and the tools that write data files all walk this table, so a field is named and
// placed here and nowhere else.
#pragma once

#include "content/page_record.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tavelio {

enum class FieldKind {
    Unsigned8,   // number cut to the low 8 bits, unsigned
    Signed8,     // number cut to the low 8 bits, signed
    Signed16,    // number cut to the low 16 bits, signed
    Signed32,    // number, all 32 bits
    Letter,      // one character: the field's last character; an empty field changes nothing
    Text,        // string as it is
    TextOrBlank, // string as it is, " " when the field is empty
};

// The record member a field fills, of the member's own type.
using FieldMember =
    std::variant<std::uint8_t QVDBType::*, std::int8_t QVDBType::*, std::int16_t QVDBType::*,
                 std::int32_t QVDBType::*, char QVDBType::*, std::string QVDBType::*>;

struct RecordField {
    std::string_view name;
    FieldKind kind;
    FieldMember member;
};

constexpr int kRecordFieldCount = 17;
constexpr int kDatabaseRecordCount = 12;

// The fields in file order: index 0 is field 1.
constexpr std::array<RecordField, kRecordFieldCount> kRecordFields{{
    {"BookNo", FieldKind::Unsigned8, &QVDBType::BookNo},
    {"PageNo", FieldKind::Unsigned8, &QVDBType::PageNo},
    {"Letter", FieldKind::Letter, &QVDBType::Letter},
    {"Title", FieldKind::Text, &QVDBType::Title},
    {"InstructionText", FieldKind::Text, &QVDBType::InstructionText},
    {"PicOffset", FieldKind::Signed32, &QVDBType::PicOffset},
    {"PicSize", FieldKind::Signed32, &QVDBType::PicSize},
    {"PicType", FieldKind::Text, &QVDBType::PicType},
    {"MediaHeight", FieldKind::Signed16, &QVDBType::MediaHeight},
    {"MediaWidth", FieldKind::Signed16, &QVDBType::MediaWidth},
    {"AniFile", FieldKind::Text, &QVDBType::AniFile},
    {"PageText", FieldKind::Text, &QVDBType::PageText},
    {"SpeechStart", FieldKind::Signed32, &QVDBType::SpeechStart},
    {"SpeechEnd", FieldKind::Signed32, &QVDBType::SpeechEnd},
    {"PageKind", FieldKind::Signed8, &QVDBType::PageKind},
    {"PromptText", FieldKind::TextOrBlank, &QVDBType::PromptText},
    {"ScriptText", FieldKind::TextOrBlank, &QVDBType::ScriptText},
}};

// Whether a kind's conversion fits the member it fills: a number kind fills a member of its
// width, a letter a character, a text a string.
constexpr bool KindFitsMember(const RecordField& field) {
    switch (field.kind) {
    case FieldKind::Unsigned8:
        return std::holds_alternative<std::uint8_t QVDBType::*>(field.member);
    case FieldKind::Signed8:
        return std::holds_alternative<std::int8_t QVDBType::*>(field.member);
    case FieldKind::Signed16:
        return std::holds_alternative<std::int16_t QVDBType::*>(field.member);
    case FieldKind::Signed32:
        return std::holds_alternative<std::int32_t QVDBType::*>(field.member);
    case FieldKind::Letter:
        return std::holds_alternative<char QVDBType::*>(field.member);
    case FieldKind::Text:
    case FieldKind::TextOrBlank:
        return std::holds_alternative<std::string QVDBType::*>(field.member);
    }
    return false;
}
static_assert(std::ranges::all_of(kRecordFields, KindFitsMember));

// The index in kRecordFields of the field that fills member.
template <typename Value> constexpr std::size_t FieldIndexOf(Value QVDBType::*member) {
    const auto found = std::ranges::find(kRecordFields, FieldMember(member), &RecordField::member);
    return static_cast<std::size_t>(found - kRecordFields.begin());
}

// The name of the field that fills member.
template <typename Value> constexpr std::string_view FieldNameOf(Value QVDBType::*member) {
    return kRecordFields[FieldIndexOf(member)].name;
}

// Stores a field's text (the bytes before its TAB) into the record by the field's kind.
void StoreFieldText(QVDBType& record, const RecordField& field, const std::string& text);

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
