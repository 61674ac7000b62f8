// TViewBook: the book viewer window. Designed at 800 x 600, white, maximised whenever it is shown,
// made hidden and disabled (the launch pad enables and shows it when a book is opened).
//
// The class only makes the controls at their designed places, group by group, lays them in their
// designed stacking order (the rules lie over the ruled text lines) and wires their events to the
// viewer's operations, plain procedures over the shared state Viewer (viewer.h). What a page looks
// like is decided by those operations, not here.
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

    // The controls by role. Overlapping ones lie in the designed order (view_book.cpp).
    // The ruled text lines, bottom to top, and their rules: two solid ones around a dotted one.
    Label* Text3;
    Label* Text2;
    Label* Text1;
    RuleLine* DotLine1;
    RuleLine* DotLine2;
    RuleLine* DotLine3;
    RuleLine* SolidLine1;
    RuleLine* SolidLine2;
    RuleLine* SolidLine3;
    RuleLine* SolidLine4;
    RuleLine* SolidLine5;
    RuleLine* SolidLine6;
    // The page buttons under the page.
    GlyphButton* Previous;
    GlyphButton* Home;
    GlyphButton* Next;
    // The buttons at the top left: back to the launch pad, the next book, and the switches of
    // animation and narration.
    GlyphButton* RestartBit;
    GlyphButton* NextBit;
    GlyphButton* AniBit;
    GlyphButton* NarrationBit;
    // The page itself: picture, instructions, text page, note, rhyme words, pointer arrow, the
    // narrator's words in writing with their headings, and the picture reader's error line.
    PictureBox* BackGround;
    Memo* Instructions;
    Memo* Text;
    Label* Note;
    Label* Rhyme1;
    Label* Rhyme2;
    Label* Rhyme3;
    PointerArrow* UpArrow;
    Memo* VoicePrompt;
    Label* VoiceOnly;
    Label* AnswersLabel;
    Label* ErrorLabel;
    // The diagnostic fields, hidden: ShowN mirrors field N of the current record (none for 5 and
    // 12), ScriptStrings the lines of its page script.
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
    // The players: the narration and the clip with the window it plays in.
    QPointer<TMediaPlayer> TextSpeachPlay; // nullptr once released
    VideoDisplay* AniShow;
    TMediaPlayer* AniPlay;
    // The timers: the cover's countdown, the page script's three and the clip's repeat.
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
    // Each makes one group of controls at their designed places.
    void MakeRuledLines();
    void MakePageButtons();
    void MakeSwitches();
    void MakePageParts();
    void MakeDiagnosticFields();
    void MakePlayers(MediaBackendFactory& mediaBackends);
    void MakeScriptTimers();
    // Puts the controls in their designed stacking order.
    void StackInDesignedOrder();
    Label* MakeLabel(const char* name, int left, int top, int width, int height,
                     const char* caption); // hidden
    GlyphButton* MakeButton(const char* name, int left, int top, int width, int height,
                            GlyphButton::Style style, const char* glyph, const char* hint);
    Memo* MakeMemo(const char* name, int left, int top, int width, int height);

    // The page buttons, the tool buttons, the cover timer and the memos' focus guards.
    void WireNavigation();
    // The switches of narration and animation.
    void WireSwitches();
    // The page script's timers and the clip's repeat.
    void WireScriptAndMedia();

    Form& launch_;
    Viewer viewer_;
    Clock::Ticket afterThisHandler_ = 0;
};

} // namespace tavelio
