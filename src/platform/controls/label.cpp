#include "platform/controls/label.h"

#include "base/text_encoding.h"
#include "platform/text/centred_caption.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace tavelio {

Label::Label(QWidget* form, const char* name, int left, int top, int width, int height,
             const std::string& caption)
    : WindowControl(form, name) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    // The designed bounds stand until a caption or font change resizes an AutoSize label.
    setGeometry(left, top, width, height);
    caption_ = caption;
    setText(QString::fromStdString(Cp1252ToUtf8(caption)));
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    setText(QString::fromStdString(Cp1252ToUtf8(caption)));
    FitToText();
}

std::string Label::FontName() const {
    return font().family().toStdString();
}

int Label::FontHeight() const {
    return font().pixelSize();
}

void Label::SetFont(const std::string& faceName, int pixelHeight, bool bold) {
    setFont(DesignedFont(faceName, pixelHeight, bold));
    FitToText();
}

void Label::SetFontName(const std::string& faceName) {
    QFont changed = font();
    changed.setFamilies({QString::fromStdString(faceName)});
    setFont(changed);
    FitToText();
}

void Label::SetTextColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void Label::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    FitToText();
}

void Label::SetCentred(bool centred) {
    setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
}

void Label::SetWordWrap(bool wordWrap) {
    setWordWrap(wordWrap);
    FitToText();
}

void Label::SetTransparent(bool transparent) {
    setAutoFillBackground(!transparent);
}

void Label::SetColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

void Label::paintEvent(QPaintEvent* event) {
    if (!wordWrap() || !(alignment() & Qt::AlignHCenter)) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    DrawCentredCaption(painter, font(), text(), width());
}

void Label::FitToText() {
    if (!autoSize_) {
        return;
    }
    const QFontMetrics metrics(font());
    // A line is as high as the face's ascent and descent, each rounded up to whole pixels, as the
    // designs measured it (29-pixel Times New Roman: 33 pixels).
    const QFontMetricsF exact(font());
    const int lineHeight = static_cast<int>(std::ceil(exact.ascent()) + std::ceil(exact.descent()));
    if (wordWrap()) {
        const QRect wrapped =
            metrics.boundingRect(QRect(0, 0, width(), 0), Qt::TextWordWrap, text());
        resize(width(), std::max(wrapped.height(), lineHeight));
    } else {
        resize(metrics.horizontalAdvance(text()), lineHeight);
    }
}

nlohmann::json Label::Describe() const {
    nlohmann::json description = DescribeWindowControl("label");
    description["caption"] = Cp1252ToUtf8(caption_);
    description["fontName"] = FontName();
    description["fontHeight"] = FontHeight();
    return description;
}

} // namespace tavelio
