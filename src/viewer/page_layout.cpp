#include "viewer/page_layout.h"

#include "content/page_design.h"
#include "content/page_rules.h"
#include "content/tilde_lines.h"
#include "platform/controls/control_look.h"
#include "viewer/narration.h"
#include "viewer/page_picture.h"
#include "viewer/view_book.h"

#include <array>
#include <string>

namespace tavelio {
namespace {

using namespace design;

// The page buttons' top on a text page.
constexpr int kTextPageButtonTop = 215;

// A cursor move's 8-bit result, kept inside the table: 0 is the last slot, and a result past
// the last slot goes round to the first slots as NextRecord's 225 does.
std::uint8_t IntoTable(std::uint8_t slot) {
    if (slot == 0) {
        return PageTable::kLastSlot;
    }
    if (slot > PageTable::kLastSlot) {
        return static_cast<std::uint8_t>(slot - PageTable::kLastSlot);
    }
    return slot;
}

void MoveTo(Viewer& viewer, int slot) {
    viewer.cursor.CurPage = IntoTable(static_cast<std::uint8_t>(slot));
    LoadPage(viewer);
}

// A record character as the text of an edit field: the zero character of an empty slot shows as
// nothing.
std::string LetterText(char letter) {
    return letter == '\0' ? std::string() : std::string(1, letter);
}

void WriteDiagnosticFields(TViewBook& view, const QVDBType& record) {
    view.Show1->SetText(std::to_string(record.BookNo));
    view.Show2->SetText(std::to_string(record.PageNo));
    view.Show3->SetText(LetterText(record.Letter));
    view.Show4->SetText(record.Title);
    view.Show6->SetText(std::to_string(record.PicOffset));
    view.Show7->SetText(std::to_string(record.PicSize));
    view.Show8->SetText(record.PicType);
    view.Show9->SetText(std::to_string(record.MediaHeight));
    view.Show10->SetText(std::to_string(record.MediaWidth));
    view.Show11->SetText(record.AniFile);
    view.Show13->SetText(std::to_string(record.SpeechStart));
    view.Show14->SetText(std::to_string(record.SpeechEnd));
    view.Show15->SetText(std::to_string(record.PageKind));
}

std::array<Label*, 3> TextLines(TViewBook& view) {
    return {view.Text1, view.Text2, view.Text3};
}

void SetPageButtonsTop(TViewBook& view, int top) {
    for (GlyphButton* button : {view.Previous, view.Home, view.Next}) {
        button->SetTop(top);
    }
}

} // namespace

void NextRecord(Viewer& viewer) {
    MoveTo(viewer, viewer.cursor.CurPage + 1);
}

std::uint8_t SlotAfter(std::uint8_t slot) {
    return IntoTable(static_cast<std::uint8_t>(slot + 1));
}

void PrevRecord(Viewer& viewer) {
    MoveTo(viewer, viewer.cursor.CurPage - 1);
}

void MoveRecord(Viewer& viewer, std::int8_t delta) {
    MoveTo(viewer, viewer.cursor.CurPage + delta);
}

void LoadPage(Viewer& viewer) {
    TViewBook& view = viewer.view;
    const QVDBType& record = viewer.Current();
    WriteDiagnosticFields(view, record);
    view.Instructions->SetLines(SplitTildeLines(record.InstructionText));
    view.Text->SetLines(SplitTildeLines(record.PageText));
    view.VoicePrompt->SetLines(SplitTildeLines(record.PromptText));
    view.ScriptStrings->SetLines(SplitTildeLines(record.ScriptText));
    ShowTextLines(viewer);
    ShowPagePicture(viewer, viewer.cursor.CurPage);
}

void ShowTextLines(Viewer& viewer) {
    TViewBook& view = viewer.view;
    const std::array<Label*, 3> lines = TextLines(view);
    for (Label* line : lines) {
        line->SetVisible(false);
    }
    view.Text->SetVisible(false);

    const std::int8_t kind = viewer.Current().PageKind;
    if (const int ruled = RuledLineCount(kind); ruled > 0) {
        const std::vector<std::string>& text = view.Text->Lines();
        for (std::size_t n = 0; n < static_cast<std::size_t>(ruled); ++n) {
            lines[n]->SetCaption(n < text.size() ? text[n] : std::string());
            lines[n]->SetVisible(true);
        }
    } else if (IsTextPage(kind)) {
        view.Text->SetVisible(true);
    }
}

void ArrangePageFrame(Viewer& viewer) {
    TViewBook& view = viewer.view;
    const QVDBType& record = viewer.Current();
    const std::int8_t kind = record.PageKind;

    const bool story = RoleOfPage(record.PageNo, viewer.cursor.StoryPage) == PageRole::Story;
    view.Instructions->SetScrollBars(story ? Memo::ScrollBars::Vertical : Memo::ScrollBars::None);

    ShowNarratorsWords(viewer);

    const int ruled = RuledLineCount(kind);
    for (RuleLine* rule : {view.SolidLine5, view.SolidLine6, view.DotLine3}) {
        rule->SetVisible(ruled >= 3);
    }
    for (RuleLine* rule : {view.SolidLine3, view.SolidLine4, view.DotLine2}) {
        rule->SetVisible(ruled >= 2);
    }
    for (RuleLine* rule : {view.SolidLine1, view.SolidLine2, view.DotLine1}) {
        rule->SetVisible(ruled >= 1);
    }

    const bool pictureLayout = !HasTextPageFrame(kind);
    view.BackGround->SetVisible(pictureLayout);
    view.Instructions->SetFontHeight(
        PixelsOfPoints(pictureLayout ? kInstructionsPoints : kInstructionsTextPagePoints));
    view.Instructions->SetBorderStyle(pictureLayout ? Memo::BorderStyle::Single
                                                    : Memo::BorderStyle::None);
    view.Instructions->SetWidth(pictureLayout ? kInstructions.width : kInstructionsTextPageWidth);
    const Box& prompt = pictureLayout ? kVoicePrompt : kVoicePromptTextPage;
    view.VoicePrompt->SetBounds(prompt.left, prompt.top, prompt.width, view.VoicePrompt->Height());
    view.Note->SetVisible(!pictureLayout);
}

void PlacePageMedia(Viewer& viewer) {
    TViewBook& view = viewer.view;
    const QVDBType& record = viewer.Current();
    const std::int8_t kind = record.PageKind;

    if (HasTextPageFrame(kind)) {
        SetPageButtonsTop(view, kTextPageButtonTop);
        view.BackGround->SetVisible(false);
    }
    if (const int ruled = RuledLineCount(kind); ruled > 0) {
        const Label* lastLine = TextLines(view)[static_cast<std::size_t>(ruled - 1)];
        SetPageButtonsTop(view, lastLine->Top() + lastLine->Height() + 2);
    }
    if (kind == kPicturePageKind) {
        const Size fitted = FittedPictureSize(record.MediaWidth, record.MediaHeight,
                                              view.ClientWidth(), view.ClientHeight());
        SetPageButtonsTop(view, fitted.height + kFirstLineBelowMedia);
        view.BackGround->SetHeight(fitted.height);
        view.BackGround->SetWidth(fitted.width);
    } else {
        view.BackGround->SetWidth(kFramedPictureWidth);
        view.BackGround->SetHeight(kFramedPictureHeight);
    }
}

void PutRuledLinesHome(Viewer& viewer) {
    PutRuledLinesUnder(viewer, kFramedPictureHeight);
}

void PutRuledLinesUnder(Viewer& viewer, int mediaHeight) {
    TViewBook& view = viewer.view;
    const std::array<Label*, 3> lines = TextLines(view);
    const std::array<RuleLine*, 3> upperRules{view.SolidLine1, view.SolidLine3, view.SolidLine5};
    const std::array<RuleLine*, 3> dottedRules{view.DotLine1, view.DotLine2, view.DotLine3};
    const std::array<RuleLine*, 3> baseRules{view.SolidLine2, view.SolidLine4, view.SolidLine6};
    int top = mediaHeight + kFirstLineBelowMedia;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        lines[n]->SetTop(top);
        upperRules[n]->SetTop(top + kUpperRule);
        dottedRules[n]->SetTop(top + kDottedRule);
        baseRules[n]->SetTop(top + kBaseRule);
        top += kRuledLinePitch;
    }
}

void ApplyCoverLayout(Viewer& viewer) {
    viewer.view.BackGround->SetBounds(kCoverPicture.left, kCoverPicture.top, kCoverPicture.width,
                                      kCoverPicture.height);
    viewer.view.BackGround->SetVisible(true);
}

void ApplyPageFrame(Viewer& viewer) {
    viewer.view.BackGround->SetBounds(kFramedPicture.left, kFramedPicture.top, kFramedPicture.width,
                                      kFramedPicture.height);
}

} // namespace tavelio
