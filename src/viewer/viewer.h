// Viewer: what every operation of the book viewer works on. The viewer's operations are plain
// procedures over this state (page_layout.h, page_picture.h, page_script.h, narration.h,
// animation.h, navigation.h), called from the handlers of the viewer window TViewBook.
//
// Ownership: made and owned by the TViewBook it refers to. The page table, the cursor, the
// settings and the launch pad belong to the program and outlive the viewer.
#pragma once

#include "content/book_cursor.h"
#include "content/page_record.h"
#include "content/page_table.h"
#include "content/settings.h"
#include "platform/pictures/pictures_ahead.h"

#include <cstdint>

namespace tavelio {

class Form;
class TViewBook;

// Where the running page script stands (page_script.h).
struct ScriptCursor {
    std::int32_t ScriptLine = 0; // line of the current rhyme or arrow instruction
    std::int32_t ReadLine = 0;   // the read-through's line counter
    std::int32_t ReadBase = 0;   // line that started the read-through
};

struct Viewer {
    Viewer(TViewBook& view_, const PageTable& pages_, BookCursor& cursor_, Settings& settings_,
           Form& launch_)
        : view(view_), pages(pages_), cursor(cursor_), settings(settings_), launch(launch_) {}

    TViewBook& view;
    const PageTable& pages;
    BookCursor& cursor;
    Settings& settings;
    Form& launch;

    ScriptCursor script;
    // The page pictures, the next page's drawn ahead where that is worth it (page_picture.h).
    PicturesAhead pictures;
    // Set whenever the program stops a player that is playing; the next repeat of the animation
    // finds it and skips that one repeat (animation.h).
    bool MediaStoppedFlag = false;
    // Whether the animation was playing when narration was switched off (narration.h).
    bool AniWasPlaying = false;

    // The record under the cursor.
    const QVDBType& Current() const { return pages.At(cursor.CurPage); }
};

} // namespace tavelio
