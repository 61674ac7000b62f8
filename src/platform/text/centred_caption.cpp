#include "platform/text/centred_caption.h"

#include <QPainter>
#include <QTextLayout>
#include <memory>

namespace tavelio {
namespace {

bool IsBlank(QChar character) {
    return character.isSpace();
}

// The caption's lines, wrapped at words and each moved to the centre of the width.
std::unique_ptr<QTextLayout> CentredLayout(const QFont& font, const QString& caption,
                                           double width) {
    auto layout = std::make_unique<QTextLayout>(caption, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout->setTextOption(option);
    layout->beginLayout();
    double top = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF((width - line.naturalTextWidth()) / 2, top));
        top += line.height();
    }
    layout->endLayout();
    return layout;
}

std::vector<CaptionWord> WordsOf(const QTextLine& line, const QString& caption) {
    std::vector<CaptionWord> words;
    const int end = line.textStart() + line.textLength();
    int at = line.textStart();
    while (at < end) {
        while (at < end && IsBlank(caption[at])) {
            ++at;
        }
        const int first = at;
        while (at < end && !IsBlank(caption[at])) {
            ++at;
        }
        if (at > first) {
            // cursorToX counts from the layout's origin, the line's own offset included.
            words.push_back({first, at - first, line.cursorToX(first), line.cursorToX(at)});
        }
    }
    return words;
}

} // namespace

std::vector<CaptionLine> LayOutCentredCaption(const QFont& font, const QString& caption,
                                              double width) {
    std::vector<CaptionLine> lines;
    if (caption.isEmpty()) {
        return lines;
    }
    const auto layout = CentredLayout(font, caption, width);
    for (int n = 0; n < layout->lineCount(); ++n) {
        const QTextLine line = layout->lineAt(n);
        lines.push_back({line.textStart(), line.textLength(), line.x(), line.y(),
                         line.y() + line.ascent(), WordsOf(line, caption)});
    }
    return lines;
}

void DrawCentredCaption(QPainter& painter, const QFont& font, const QString& caption,
                        double width) {
    CentredLayout(font, caption, width)->draw(&painter, QPointF(0, 0));
}

} // namespace tavelio
