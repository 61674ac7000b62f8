#include "platform/controls/edit_field.h"

#include "base/text_encoding.h"

namespace tavelio {

EditField::EditField(QWidget* form, const char* name, int left, int top, int width, int height)
    : WindowControl(form, name) {
    setGeometry(left, top, width, height);
}

void EditField::SetText(const std::string& text) {
    text_ = text;
    setText(QString::fromStdString(Cp1252ToUtf8(text)));
}

nlohmann::json EditField::Describe() const {
    nlohmann::json description = DescribeWindowControl("edit");
    description["text"] = Cp1252ToUtf8(text_);
    return description;
}

} // namespace tavelio
