#include "book/record_json.h"

#include "base/text_encoding.h"
#include "content/record_fields.h"

#include <concepts>
#include <string>

namespace tavelio::book {
namespace {

template <std::integral Number> nlohmann::ordered_json FieldJson(Number number) {
    return number;
}

nlohmann::ordered_json FieldJson(char letter) {
    return Cp1252ToUtf8(std::string(1, letter));
}

nlohmann::ordered_json FieldJson(const std::string& text) {
    return Cp1252ToUtf8(text);
}

} // namespace

nlohmann::ordered_json RecordFieldsToJson(const QVDBType& record) {
    nlohmann::ordered_json json;
    for (const RecordField& field : kRecordFields) {
        json[std::string(field.name)] =
            std::visit([&](auto member) { return FieldJson(record.*member); }, field.member);
    }
    return json;
}

} // namespace tavelio::book
