// TViewBook: the book viewer window. Designed at 800 x 600, white, maximised whenever it is shown,
// made hidden and disabled (the launch pad enables and shows it when a book is opened).
//
// The class only makes the controls at their designed places, in their designed order (which is
// also their stacking order: the rules lie over the ruled text lines), and wires their events to
// the viewer's operations, plain procedures over the shared state Viewer (viewer.h). What a page
// looks like is decided by those operations, not here.
//
// Ownership: owns its controls and the Viewer state. The launch pad form, the page table, the
// cursor, the settings, the media back-end factory and the environment's services must outlive
// it; the program releases it at shutdown.
#pragma once

#include "platform/controls/edit_field.h"
#include "platform/controls/form.h"
#include "platform/controls/glyph_button.h"
#include "platform/controls/label.h"
#include "platform/controls/memo.h"
#include "platform/controls/picture_box.h"
#include "platform/controls/pointer_arrow.h"
#include "platform/controls/rule_line.h"
#include "platform/controls/timer.h"
#include "platform/media/media_player.h"
#include "platform/media/video_display.h"
#include "viewer/viewer.h"

#include <QPointer>
#include <functional>

namespace tavelio {

class TViewBook final : public Form {
public:
    TViewBook(const FormEnvironment& environment, MediaBackendFactory& mediaBackends, Form& launch,
              const PageTable& pages, BookCursor& cursor, Settings& settings);
    ~TViewBook() override;
    TViewBook(const TViewBook&) = delete;
    TViewBook& operator=(const TViewBook&) = delete;

    // Releases the narration player, if it still exists; closing its device stops the narration.
    void ReleaseTextSpeachPlay();

    Viewer& State() { return viewer_; }

    // Runs work through the dispatcher once the current handler has returned, as a queued event
    // on the clock, so that what the handler changed is drawn first. A later call replaces work
    // not yet run; releasing the viewer drops it.
    void AfterThisHandler(std::function<void()> work);

    // The controls, in creation order (lower first).
    Label* Text3; // the ruled text lines, bottom to top
    Label* Text2;
    Label* Text1;
    GlyphButton* RestartBit;
    GlyphButton* NextBit;
    Label* Note;
    Label* Rhyme1;
    Label* Rhyme2;
    Label* Rhyme3;
    GlyphButton* Previous;
    GlyphButton* Home;
    GlyphButton* Next;
    RuleLine* DotLine1;
    RuleLine* DotLine2;
    RuleLine* DotLine3;
    RuleLine* SolidLine1;
    RuleLine* SolidLine2;
    RuleLine* SolidLine3;
    RuleLine* SolidLine4;
    RuleLine* SolidLine5;
    RuleLine* SolidLine6;
    PictureBox* BackGround;
    Label* VoiceOnly;
    Label* AnswersLabel;
    Label* ErrorLabel;
    GlyphButton* AniBit;
    GlyphButton* NarrationBit;
    PointerArrow* UpArrow;
    Memo* Instructions;
    Memo* VoicePrompt;
    Memo* Text;
    // The diagnostic fields: ShowN mirrors field N of the current record (none for 5 and 12).
    EditField* Show1;
    EditField* Show2;
    EditField* Show3;
    EditField* Show4;
    EditField* Show6;
    EditField* Show7;
    EditField* Show8;
    EditField* Show9;
    EditField* Show10;
    EditField* Show11;
    EditField* Show13;
    EditField* Show14;
    EditField* Show15;
    Memo* ScriptStrings;
    QPointer<TMediaPlayer> TextSpeachPlay; // nullptr once released
    VideoDisplay* AniShow;
    TMediaPlayer* AniPlay;
    Timer* CoverTimed;
    Timer* ReadBook;
    Timer* ShowRhyme;
    Timer* Arrows;
    Timer* AniTime;

protected:
    void FormActivate() override;
    void FormClose() override;
    void FormKeyDown(int virtualKey) override;
    void FormKeyPress(char character) override;

private:
    // The page buttons, the tool buttons, the cover timer and the memos' focus guards.
    void WireNavigation();

    Form& launch_;
    Viewer viewer_;
    Clock::Ticket afterThisHandler_ = 0;
};

} // namespace tavelio
