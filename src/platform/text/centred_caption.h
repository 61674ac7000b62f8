// The layout of a caption that a label draws centred and wrapped at words: the viewer's ruled
// text lines. The label draws its caption from this layout, and the book tool places the words
// of an exported page from it, so a word stands at the same x in both and an arrow position can
// be told from the word it points at.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

class QPainter;

namespace tavelio {

// A word of a caption line: a run of characters other than blanks, punctuation included.
struct CaptionWord {
    int first = 0;   // index of its first character in the caption
    int length = 0;  // characters
    double left = 0; // x of its left and right edges, from the label's left
    double right = 0;
};

struct CaptionLine {
    int first = 0; // index of its first character in the caption
    int length = 0;
    double left = 0;     // x where the line starts, from the label's left: centred in the width
    double top = 0;      // y of the line's top, from the label's top
    double baseline = 0; // y of its baseline, from the label's top
    std::vector<CaptionWord> words;
};

// Lays the caption out as lines no wider than width (a word wider than the width stands alone on
// its line), each centred in the width. An empty caption gives no line.
std::vector<CaptionLine> LayOutCentredCaption(const QFont& font, const QString& caption,
                                              double width);

// Draws the caption as LayOutCentredCaption lays it out, with the painter's pen, its lines from
// the painter's origin.
void DrawCentredCaption(QPainter& painter, const QFont& font, const QString& caption, double width);

} // namespace tavelio
