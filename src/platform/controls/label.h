// Label: a text label of a form. Its caption is drawn in its font and colour, left-aligned or
// centred, on one line or wrapped at words; it is opaque (filled with its colour, by default the
// form's) or transparent. With AutoSize on, a caption or font change resizes it to its text from
// its top-left corner (the height only, when it wraps).
//
// Fonts are given by their designed face names ("Times New Roman", "MS Sans Serif"); the program
// maps those faces to metric-compatible ones at start (font_faces.h). Heights are in pixels.
//
// Ownership: a widget child of its form, found by objectName.
#pragma once

#include "platform/controls/window_control.h"

#include <QColor>
#include <QLabel>
#include <string>

namespace tavelio {

class Label final : public WindowControl<QLabel> {
public:
    // Made shown, enabled, opaque, left-aligned, without wrap, with AutoSize on, in the form's
    // font and colour, at the bounds given.
    Label(QWidget* form, const char* name, int left, int top, int width, int height,
          const std::string& caption);

    // Windows-1252.
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    std::string FontName() const;
    int FontHeight() const;
    void SetFont(const std::string& faceName, int pixelHeight, bool bold = false);
    // Only the face; keeps the height.
    void SetFontName(const std::string& faceName);
    void SetTextColor(const QColor& color);

    void SetAutoSize(bool autoSize);
    void SetCentred(bool centred);
    void SetWordWrap(bool wordWrap);
    // Opaque labels fill their rectangle with color; transparent ones draw only the text.
    void SetTransparent(bool transparent);
    void SetColor(const QColor& color);

    // "kind" "label", the common properties, "caption", "fontName", "fontHeight".
    nlohmann::json Describe() const override;

protected:
    void SizeSet() override { FitToText(); }
    // A centred caption that wraps is drawn from LayOutCentredCaption (platform/text), so that
    // whoever lays the same caption out with it finds each word where this label shows it.
    void paintEvent(QPaintEvent* event) override;

private:
    void FitToText();

    std::string caption_;
    bool autoSize_ = true;
};

} // namespace tavelio
