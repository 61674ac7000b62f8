#include "platform/controls/memo.h"

#include "base/text_encoding.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace tavelio {
namespace {

// The text's distance from the border, as the designs' boxes draw it.
constexpr int kTextMargin = 1;

QString DisplayText(const std::string& line) {
    return QString::fromStdString(Cp1252ToUtf8(line));
}

} // namespace

Memo::Memo(QWidget* form, const char* name, int left, int top, int width, int height,
           EventDispatcher& dispatcher)
    : WindowControl(form, name), dispatcher_(dispatcher) {
    setGeometry(left, top, width, height);
    setReadOnly(true);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(kTextMargin);
    viewport()->setCursor(Qt::ArrowCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    SetScrollBars(ScrollBars::None);
    SetBorderStyle(BorderStyle::Single);
}

void Memo::Clear() {
    lines_.clear();
    ShowLines();
}

void Memo::Append(const std::string& line) {
    lines_.push_back(line);
    appendPlainText(DisplayText(line));
}

void Memo::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    ShowLines();
}

void Memo::ShowLines() {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines_.size()));
    for (const std::string& line : lines_) {
        shown.append(DisplayText(line));
    }
    setPlainText(shown.join(QLatin1Char('\n')));
}

void Memo::SetScrollBars(ScrollBars scrollBars) {
    scrollBars_ = scrollBars;
    setVerticalScrollBarPolicy(scrollBars == ScrollBars::Vertical ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
}

void Memo::SetBorderStyle(BorderStyle borderStyle) {
    borderStyle_ = borderStyle;
    if (borderStyle == BorderStyle::Single) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

std::string Memo::FontName() const {
    return font().family().toStdString();
}

int Memo::FontHeight() const {
    return font().pixelSize();
}

void Memo::SetFont(const std::string& faceName, int pixelHeight) {
    setFont(DesignedFont(faceName, pixelHeight));
}

void Memo::SetFontHeight(int pixelHeight) {
    QFont changed = font();
    changed.setPixelSize(pixelHeight);
    setFont(changed);
}

void Memo::Deliver(const std::function<void()>& handler) {
    if (isVisible() && isEnabled() && handler) {
        dispatcher_.Run(handler);
    }
}

void Memo::mousePressEvent(QMouseEvent* event) {
    // Not passed on: the box selects nothing and shows no caret.
    leftPressed_ = event->button() == Qt::LeftButton;
    DeliverMouseDown();
    event->accept();
}

void Memo::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like the first.
    mousePressEvent(event);
}

void Memo::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = leftPressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(mapFromGlobal(event->globalPosition().toPoint()));
    leftPressed_ = false;
    if (click) {
        DeliverClick();
    }
    event->accept();
}

void Memo::contextMenuEvent(QContextMenuEvent* event) {
    DeliverContextPopup();
    event->accept();
}

nlohmann::json Memo::Describe() const {
    nlohmann::json description = DescribeWindowControl("memo");
    nlohmann::json lines = nlohmann::json::array();
    for (const std::string& line : lines_) {
        lines.push_back(Cp1252ToUtf8(line));
    }
    description["lines"] = std::move(lines);
    description["scrollBars"] = scrollBars_ == ScrollBars::Vertical ? "vertical" : "none";
    description["borderStyle"] = borderStyle_ == BorderStyle::Single ? "single" : "none";
    description["fontName"] = FontName();
    description["fontHeight"] = FontHeight();
    return description;
}

} // namespace tavelio
