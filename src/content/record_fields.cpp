#include "content/record_fields.h"

#include "content/number_text.h"

#include <concepts>

namespace tavelio {
namespace {

// A number is stored in the member's width: the low 8 or 16 bits, or all 32.
template <std::integral Number>
void Store(Number& value, FieldKind /*kind*/, const std::string& text) {
    value = static_cast<Number>(TextToNumber(text));
}

void Store(char& letter, FieldKind /*kind*/, const std::string& text) {
    if (!text.empty()) {
        letter = text.back();
    }
}

void Store(std::string& value, FieldKind kind, const std::string& text) {
    value = text.empty() && kind == FieldKind::TextOrBlank ? std::string(" ") : text;
}

} // namespace

void StoreFieldText(QVDBType& record, const RecordField& field, const std::string& text) {
    std::visit([&](auto member) { Store(record.*member, field.kind, text); }, field.member);
}

} // namespace tavelio
