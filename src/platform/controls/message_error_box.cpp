#include "platform/controls/message_error_box.h"

#include "base/text_encoding.h"

#include <QMessageBox>
#include <QStringDecoder>

namespace tavelio {

void MessageErrorBox::Show(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString shown = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (utf8.hasError()) {
        shown = QString::fromStdString(Cp1252ToUtf8(text));
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tavelio"), shown, QMessageBox::Ok);
    box.exec();
}

} // namespace tavelio
