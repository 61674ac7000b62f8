#include "viewer/navigation.h"

#include "content/page_rules.h"
#include "platform/controls/key_codes.h"
#include "viewer/animation.h"
#include "viewer/narration.h"
#include "viewer/page_layout.h"
#include "viewer/page_picture.h"
#include "viewer/page_script.h"
#include "viewer/view_book.h"
#include "viewer/viewer.h"

#include <optional>

namespace tavelio {
namespace {

constexpr const char* kNextPageHint = "Click here to go to the next page.";
constexpr const char* kNoOtherBooksHint = "No Other Books Available in Demo!";
constexpr const char* kViewerCaption = "View Book";

void HideVoiceAndAnswers(TViewBook& view) {
    view.VoicePrompt->SetVisible(false);
    view.VoiceOnly->SetVisible(false);
    view.AnswersLabel->SetVisible(false);
}

// The first step away from a page: nothing plays on, and the narrator's words go.
void LeaveThePage(Viewer& viewer) {
    StopAllMedia(viewer);
    HideVoiceAndAnswers(viewer.view);
}

// What the cover and the launch pad have in common: the cover's picture frame, and no page parts,
// narrator's words, page buttons, rules or clip.
void ClearThePage(Viewer& viewer) {
    TViewBook& view = viewer.view;
    ApplyCoverLayout(viewer);
    HideVoiceAndAnswers(view);
    view.Instructions->SetVisible(false);
    view.Text->SetVisible(false);
    view.Note->SetVisible(false);
    for (GlyphButton* button : {view.Next, view.Home, view.Previous}) {
        button->SetVisible(false);
    }
    view.Previous->SetEnabled(false);
    for (RuleLine* rule :
         {view.SolidLine1, view.SolidLine2, view.SolidLine3, view.SolidLine4, view.SolidLine5,
          view.SolidLine6, view.DotLine1, view.DotLine2, view.DotLine3}) {
        rule->SetVisible(false);
    }
    view.AniShow->SetVisible(false);
    PutRuledLinesHome(viewer);
}

// The first slot after `from` whose record belongs to `book`, looking no further than the
// table's last slot.
std::optional<std::uint8_t> FindLaterRecordOfBook(const PageTable& pages, int from, int book) {
    for (int slot = from + 1; slot <= PageTable::kLastSlot; ++slot) {
        if (pages.At(slot).BookNo == book) {
            return static_cast<std::uint8_t>(slot);
        }
    }
    return std::nullopt;
}

} // namespace

void PrepareNextPage(Viewer& viewer) {
    // The last page has no next one, and the launch pad no page at all.
    if (viewer.view.OwnVisible() &&
        RoleOfPage(viewer.Current().PageNo, viewer.cursor.StoryPage) != PageRole::Last) {
        DrawNextPictureAhead(viewer);
        OpenNextClipAhead(viewer);
    }
}

void PresentPage(Viewer& viewer) {
    // The animation decides between clip and picture after the frame has, and the media placing
    // sizes whichever it left; the script starts before the narration it is timed against.
    ArrangePageFrame(viewer);
    ShowPageAnimation(viewer);
    PlacePageMedia(viewer);
    StartPageScript(viewer);
    PlayPageSpeech(viewer);
    // While this page is read, the next one's slow parts are made ready, so that Next shows it
    // within a frame; not before this page is drawn, which they would hold up.
    viewer.view.AfterThisHandler([&viewer] { PrepareNextPage(viewer); });
}

void ReturnToLaunchPad(Viewer& viewer) {
    TViewBook& view = viewer.view;
    StopAllMedia(viewer);
    view.SetVisible(false);
    view.SetEnabled(false);
    viewer.launch.SetEnabled(true);
    viewer.launch.SetVisible(true);
    view.Next->SetHint(kNextPageHint);
    viewer.cursor.CurPage = PageTable::kFirstSlot;
    ClearThePage(viewer);
    view.AniShow->SetEnabled(false);
    view.SetCaption(kViewerCaption);
    view.RestartBit->SetEnabled(false);
    ResetScript(viewer);
}

void RestartToLaunchPad(Viewer& viewer) {
    viewer.view.CoverTimed->SetEnabled(false);
    ReturnToLaunchPad(viewer);
}

void GoToCover(Viewer& viewer) {
    TViewBook& view = viewer.view;
    LeaveThePage(viewer);
    view.Next->SetHint(kNextPageHint);
    MoveRecord(viewer, static_cast<std::int8_t>(-viewer.Current().PageNo));
    ClearThePage(viewer);
    for (Label* line : {view.Text1, view.Text2, view.Text3}) {
        line->SetVisible(false);
    }
    view.Next->SetEnabled(false);
    // Already running (Home on the cover), the countdown goes on: the cover is not held longer.
    view.CoverTimed->SetEnabled(true);
    ResetScript(viewer);
    PlayPageSpeech(viewer);
}

void CoverTimedTimer(Viewer& viewer) {
    TViewBook& view = viewer.view;
    // The timer fires once. It is stopped before the cursor moves, because a move whose page
    // fails to load would otherwise leave it running, and every later tick would step the cursor
    // on behind the cover with another error box.
    view.CoverTimed->SetEnabled(false);
    MoveRecord(viewer, 1);
    ApplyPageFrame(viewer);
    view.Instructions->SetVisible(true);
    view.Text->SetVisible(false);
    // The first page after a cover is a ruled-line page in every book, so Text1 shows whatever
    // the page kind says.
    view.Text1->SetVisible(true);
    view.Text2->SetVisible(false);
    view.Text3->SetVisible(false);
    const int ruled = RuledLineCount(viewer.Current().PageKind);
    if (ruled >= 2) {
        view.Text2->SetVisible(true);
    }
    if (ruled >= 3) {
        view.Text3->SetVisible(true);
    }
    view.Next->SetVisible(true);
    view.Home->SetVisible(true);
    view.Previous->SetVisible(true);
    view.Next->SetEnabled(true);
    view.Home->SetEnabled(true);
    view.RestartBit->SetEnabled(true);
    view.SetCaption(std::string(kViewerCaption) + " --- " + viewer.Current().Title);
    // No StopAllMedia: page 1's narration takes over from the cover's if that still plays.
    PresentPage(viewer);
}

void GoToPreviousPage(Viewer& viewer) {
    TViewBook& view = viewer.view;
    StopAllMedia(viewer);
    view.Next->SetEnabled(true);
    PrevRecord(viewer);
    HideVoiceAndAnswers(view);
    if (viewer.Current().PageNo <= 1) {
        view.Previous->SetEnabled(false);
    }
    ResetScript(viewer);
    view.Next->SetHint(kNextPageHint);
    PresentPage(viewer);
}

void GoToNextPage(Viewer& viewer) {
    TViewBook& view = viewer.view;
    LeaveThePage(viewer);
    view.Previous->SetEnabled(true);
    NextRecord(viewer);
    if (RoleOfPage(viewer.Current().PageNo, viewer.cursor.StoryPage) == PageRole::Last) {
        view.Next->SetHint(kNoOtherBooksHint);
        view.Next->SetEnabled(false);
    } else {
        view.Next->SetHint(kNextPageHint);
    }
    ResetScript(viewer);
    PresentPage(viewer);
}

void GoToNextBook(Viewer& viewer) {
    TViewBook& view = viewer.view;
    BookCursor& cursor = viewer.cursor;
    view.Next->SetHint(kNextPageHint);
    view.RestartBit->SetEnabled(false);
    view.CoverTimed->SetEnabled(false);
    const std::uint8_t startSlot = cursor.CurPage;
    // Book 1 is followed by itself: the search starts over at its cover and finds its second
    // record, and GoToCover goes back from there to the cover.
    int book = viewer.Current().BookNo;
    int searchFrom = cursor.CurPage;
    if (book == 1) {
        book = 0;
        searchFrom = PageTable::kFirstSlot;
    }
    // A table whose last book has no successor (or whose book 1 has a single record) holds no
    // later record of the book looked for. The search stops at the table's end and the reader
    // stays in the book being read, on its cover: wrapping round to slot 1 would hand a reader of
    // the last book to whatever book happens to be numbered one higher earlier in the table.
    cursor.CurPage = FindLaterRecordOfBook(viewer.pages, searchFrom, book + 1).value_or(startSlot);
    if (book == 0) {
        cursor.StoryPage = kOpeningStoryPage;
    }
    OpenSpeechFile(viewer);
    GoToCover(viewer);
}

void ViewerActivate(Viewer& viewer) {
    TViewBook& view = viewer.view;
    Settings& settings = viewer.settings;
    // The switches' buttons are brought into line with the start-up settings by the toggles
    // themselves: switched on here, each toggle switches off again with all its effects.
    if (!settings.SoundOn) {
        view.NarrationBit->SetEnabled(false);
        settings.SoundOn = true;
        ToggleNarration(viewer);
    }
    if (!settings.AniOn) {
        view.AniBit->SetEnabled(false);
        settings.AniOn = true;
        ToggleAnimation(viewer);
    }
    viewer.MediaStoppedFlag = false;
    OpenSpeechFile(viewer);
    LoadPage(viewer);
    GoToCover(viewer);
}

void ViewerKeyDown(Viewer& viewer, int virtualKey) {
    TViewBook& view = viewer.view;
    switch (virtualKey) {
    case vk::kEscape:
        RestartToLaunchPad(viewer);
        break;
    case vk::kHome:
    case vk::kUp:
        GoToCover(viewer);
        break;
    case vk::kLeft:
        if (view.Previous->OwnEnabled()) {
            GoToPreviousPage(viewer);
        }
        break;
    case vk::kRight:
        if (view.Next->OwnEnabled()) {
            GoToNextPage(viewer);
        }
        break;
    default:
        break;
    }
}

void ViewerKeyPress(Viewer& viewer, char character) {
    TViewBook& view = viewer.view;
    switch (character) {
    case 'N':
    case 'n':
        GoToNextBook(viewer);
        break;
    case 'R':
    case 'r':
        RestartToLaunchPad(viewer);
        break;
    case 'S':
    case 's':
        view.NarrationBit->SetEnabled(false);
        ToggleNarration(viewer);
        break;
    case 'V':
    case 'v':
        view.AniBit->SetEnabled(false);
        ToggleAnimation(viewer);
        break;
    default:
        break;
    }
}

} // namespace tavelio
