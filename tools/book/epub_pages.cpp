#include "book/epub_pages.h"

#include "platform/text/centred_caption.h"

#include <QString>
#include <QXmlStreamWriter>
#include <cmath>
#include <cstdio>

namespace tavelio::book {
namespace {

using design::Box;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Pixels in CSS, to a hundredth: word places are fractions of pixels.
std::string Px(double pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2fpx", std::round(pixels * 100) / 100);
    return text;
}

std::string BoxStyle(const Box& box) {
    return "left:" + Px(box.left) + ";top:" + Px(box.top) + ";width:" + Px(box.width) +
           ";height:" + Px(box.height);
}

class PageWriter {
public:
    PageWriter(const ExportedBook& book, const ExportedPage& page, const PageExtras& extras)
        : book_(book), page_(page), extras_(extras), xml_(&out_) {}

    std::string Write() {
        xml_.setAutoFormatting(false);
        xml_.writeStartDocument();
        xml_.writeDTD(QStringLiteral("<!DOCTYPE html>"));
        xml_.writeStartElement(QStringLiteral("html"));
        xml_.writeDefaultNamespace(QStringLiteral("http://www.w3.org/1999/xhtml"));
        xml_.writeAttribute(QStringLiteral("lang"), QStringLiteral("en"));
        xml_.writeAttribute(QStringLiteral("xml:lang"), QStringLiteral("en"));
        Head();
        xml_.writeStartElement(QStringLiteral("body"));
        if (!extras_.script.empty()) {
            xml_.writeAttribute(QStringLiteral("data-audio"), Q(extras_.audio));
            xml_.writeAttribute(QStringLiteral("data-active-class"), Q(extras_.activeClass));
            if (!extras_.continues.empty()) {
                xml_.writeAttribute(QStringLiteral("data-continues"), Q(extras_.continues));
            }
        }
        Picture();
        Instructions();
        RuledLines();
        Memo();
        Note();
        Answers();
        Rhymes();
        Extras();
        xml_.writeEndElement();
        xml_.writeEndElement();
        xml_.writeEndDocument();
        return out_.toStdString();
    }

private:
    void Head() {
        xml_.writeStartElement(QStringLiteral("head"));
        xml_.writeEmptyElement(QStringLiteral("meta"));
        xml_.writeAttribute(QStringLiteral("charset"), QStringLiteral("utf-8"));
        const std::string title =
            page_.role == PageRole::Cover
                ? book_.title
                : book_.title + ", page " + std::to_string(page_.record.PageNo);
        xml_.writeTextElement(QStringLiteral("title"), Q(title));
        xml_.writeEmptyElement(QStringLiteral("meta"));
        xml_.writeAttribute(QStringLiteral("name"), QStringLiteral("viewport"));
        xml_.writeAttribute(QStringLiteral("content"),
                            Q("width=" + std::to_string(design::kPageWidth) +
                              ", height=" + std::to_string(design::kPageHeight)));
        xml_.writeEmptyElement(QStringLiteral("link"));
        xml_.writeAttribute(QStringLiteral("rel"), QStringLiteral("stylesheet"));
        xml_.writeAttribute(QStringLiteral("href"), Q(kStyleSheetFile));
        xml_.writeEndElement();
    }

    void Div(const std::string& id, const std::string& cssClass, const std::string& style) {
        xml_.writeStartElement(QStringLiteral("div"));
        if (!id.empty()) {
            xml_.writeAttribute(QStringLiteral("id"), Q(id));
        }
        xml_.writeAttribute(QStringLiteral("class"), Q(cssClass));
        if (!style.empty()) {
            xml_.writeAttribute(QStringLiteral("style"), Q(style));
        }
    }

    void Lines(const std::vector<std::string>& lines) {
        for (std::size_t n = 0; n < lines.size(); ++n) {
            if (n > 0) {
                xml_.writeEmptyElement(QStringLiteral("br"));
            }
            xml_.writeCharacters(Q(lines[n]));
        }
    }

    void Picture() {
        if (!page_.picture) {
            return;
        }
        xml_.writeEmptyElement(QStringLiteral("img"));
        xml_.writeAttribute(QStringLiteral("class"), QStringLiteral("picture"));
        xml_.writeAttribute(QStringLiteral("src"), Q(page_.pictureFile));
        xml_.writeAttribute(QStringLiteral("alt"), Q(AltText()));
        xml_.writeAttribute(QStringLiteral("style"), Q(BoxStyle(*page_.picture)));
    }

    // The picture tells what the page's words tell; the cover's, the title.
    std::string AltText() const {
        if (page_.role == PageRole::Cover) {
            return "Cover: " + book_.title;
        }
        std::string text;
        for (const ShownRuledLine& line : page_.ruledLines) {
            for (const ShownWord& word : line.words) {
                text += (text.empty() ? "" : " ") + word.text;
            }
        }
        return text.empty() ? "Picture of the page" : "Picture: " + text;
    }

    void Instructions() {
        Box box = design::kInstructions;
        if (page_.textLayout) {
            box.width = design::kInstructionsTextPageWidth;
        }
        Div(page_.instructionsId, page_.textLayout ? "instructions text-page" : "instructions",
            BoxStyle(box));
        Lines(page_.instructions);
        xml_.writeEndElement();
    }

    void RuledLines() {
        if (page_.ruledLines.empty()) {
            return;
        }
        Div(page_.targets.whole, "ruled", "");
        for (const ShownRuledLine& line : page_.ruledLines) {
            Div("", "ruled-line", "top:" + Px(line.top));
            for (const ShownWord& word : line.words) {
                xml_.writeStartElement(QStringLiteral("span"));
                xml_.writeAttribute(QStringLiteral("id"), Q(word.place.id));
                xml_.writeAttribute(QStringLiteral("class"), QStringLiteral("word"));
                xml_.writeAttribute(QStringLiteral("style"),
                                    Q("left:" + Px(word.place.left) +
                                      ";width:" + Px(word.place.right - word.place.left)));
                xml_.writeCharacters(Q(word.text));
                xml_.writeEndElement();
            }
            for (const auto& [offset, kind] :
                 {std::pair{design::kUpperRule, "solid"}, std::pair{design::kDottedRule, "dotted"},
                  std::pair{design::kBaseRule, "solid"}}) {
                Div("", std::string("rule ") + kind, "top:" + Px(offset));
                xml_.writeEndElement();
            }
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    void Memo() {
        if (page_.memoLines.empty()) {
            return;
        }
        Div(page_.targets.whole, "memo", BoxStyle(design::kTextMemo));
        Lines(page_.memoLines);
        xml_.writeEndElement();
    }

    // The remark a text page carries for the grown-up who reads with the child.
    void Note() {
        if (!page_.textLayout) {
            return;
        }
        Div("", "note", BoxStyle(design::kNote));
        xml_.writeCharacters(Q(design::kTextPageNote));
        xml_.writeEndElement();
    }

    void Answers() {
        if (page_.answerLines.empty()) {
            return;
        }
        Div("", "answers-label", BoxStyle(design::kAnswersLabel));
        xml_.writeCharacters(QStringLiteral("Answers:"));
        xml_.writeEndElement();
        const Box& box = page_.textLayout ? design::kVoicePromptTextPage : design::kVoicePrompt;
        Div("", "answers",
            "left:" + Px(box.left) + ";top:" + Px(box.top) + ";width:" + Px(box.width));
        Lines(page_.answerLines);
        xml_.writeEndElement();
    }

    void Rhymes() {
        if (page_.targets.rhymes.empty()) {
            return;
        }
        Div(page_.targets.rhymes, "rhymes", "");
        for (std::size_t n = 0; n < page_.rhymes.size(); ++n) {
            Div("", "rhyme",
                "left:" + Px(design::kRhymeLeft) + ";top:" + Px(design::kRhymeTops[n]));
            xml_.writeCharacters(Q(page_.rhymes[n]));
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    void Link(const std::string& target, const char* cssClass, const char* text) {
        if (target.empty()) {
            return;
        }
        xml_.writeStartElement(QStringLiteral("a"));
        xml_.writeAttribute(QStringLiteral("class"), QString::fromLatin1(cssClass));
        xml_.writeAttribute(QStringLiteral("href"), Q(target));
        xml_.writeCharacters(QString::fromLatin1(text));
        xml_.writeEndElement();
    }

    void Extras() {
        if (extras_.script.empty()) {
            return;
        }
        Div("", "player", "");
        Link(extras_.previous, "previous", "Previous");
        xml_.writeStartElement(QStringLiteral("button"));
        xml_.writeAttribute(QStringLiteral("id"), QStringLiteral("play"));
        xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("button"));
        xml_.writeCharacters(QStringLiteral("Read to me"));
        xml_.writeEndElement();
        Link(extras_.next, "next", "Next");
        xml_.writeEndElement();
        xml_.writeStartElement(QStringLiteral("script"));
        xml_.writeAttribute(QStringLiteral("id"), QStringLiteral("clips"));
        xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("application/json"));
        xml_.writeCharacters(Q(extras_.clipsJson));
        xml_.writeEndElement();
        xml_.writeStartElement(QStringLiteral("script"));
        xml_.writeAttribute(QStringLiteral("src"), Q(extras_.script));
        xml_.writeCharacters(QString());
        xml_.writeEndElement();
    }

    const ExportedBook& book_;
    const ExportedPage& page_;
    const PageExtras& extras_;
    QString out_;
    QXmlStreamWriter xml_;
};

} // namespace

std::string PageXhtml(const ExportedBook& book, const ExportedPage& page,
                      const PageExtras& extras) {
    return PageWriter(book, page, extras).Write();
}

std::string StyleSheet(const ExportedBook& book) {
    const std::string lineHeight = Px(book.fontAscent + book.fontDescent);
    return std::string(R"(@font-face {
  font-family: "Handwriting";
  src: url(")" + std::string(kFontFile) +
                       R"(") format("truetype");
}
html, body {
  margin: 0;
  padding: 0;
  width: 800px;
  height: 600px;
  overflow: hidden;
  background: white;
  color: black;
}
body > div, body > img, .ruled-line > *, .rhyme {
  position: absolute;
}
.instructions {
  box-sizing: border-box;
  padding: 1px 3px;
  border: 2px inset #a0a0a0;
  font: 19px "Times New Roman", "Liberation Serif", serif;
  overflow: hidden;
}
.instructions.text-page {
  border: none;
  font-size: 16px;
}
.ruled, .rhymes {
  left: 0;
  top: 0;
}
.ruled-line {
  position: absolute;
  left: 0;
  width: 800px;
  height: 71px;
}
.word {
  top: 0;
  font: 53px "Handwriting";
  line-height: )") +
           lineHeight + R"(;
  white-space: pre;
}
.rule {
  left: 144px;
  width: 497px;
  height: 1px;
  background: black;
}
.rule.dotted {
  height: 3px;
  background: repeating-linear-gradient(to right, transparent 0 1px, black 1px 3px,
                                        transparent 3px 4px);
}
.memo {
  font: 16px "Times New Roman", "Liberation Serif", serif;
  padding: 1px;
}
.answers {
  box-sizing: border-box;
  padding: 1px;
  border: 2px inset #a0a0a0;
  font: 11px "MS Sans Serif", "Liberation Sans", sans-serif;
  overflow: hidden;
}
.note {
  font: 13px "Times New Roman", "Liberation Serif", serif;
  white-space: nowrap;
}
.answers-label {
  font: 16px "MS Sans Serif", "Liberation Sans", sans-serif;
}
.rhyme {
  font: 40px "Handwriting";
  white-space: pre;
}
.player {
  left: 0;
  top: 560px;
  width: 800px;
  text-align: center;
  font: 16px sans-serif;
}
.player > * {
  margin: 0 1em;
}
.)" + kActiveClass +
           R"( {
  background: #fff3a0;
  text-decoration: underline red 3px;
}
)";
}

} // namespace tavelio::book
