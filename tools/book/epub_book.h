// A book folder read for export as a read-along book: each page as the viewer lays it out with
// narration on and animations off (the page's picture standing for its clip), with the places
// of its words and the timeline of its narration, and the files the pages use.
#pragma once

#include "book/epub_narration.h"
#include "book/epub_overlay.h"
#include "content/page_design.h"
#include "content/page_record.h"
#include "content/page_rules.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavelio::book {

// A word of a ruled line as the page shows it (text UTF-8, edges in page pixels).
struct ShownWord {
    PlacedWord place;
    std::string text;
};

// One ruled handwriting line: the label's top, and the words at the x where the viewer draws
// them; the baseline is the label's top plus the face's ascent.
struct ShownRuledLine {
    int top = 0;
    std::vector<ShownWord> words;
};

// A page as the viewer shows it when it comes up, or one step of its read-through.
struct ExportedPage {
    int slot = 0;
    QVDBType record;
    std::string name; // "page01" for slot 1, "page09-3" for its read-through's step 3: the stem
                      // of the page's files
    int readThroughStep = 0; // 0 for the page itself
    PageRole role = PageRole::Ordinary;
    std::optional<design::Box> picture;
    std::string pictureFile; // in the book's files, when there is a picture
    bool textLayout = false; // a text page (kind above 3): smaller unframed instructions
    std::vector<std::string> instructions;
    std::string instructionsId; // the element of the instructions
    std::vector<ShownRuledLine> ruledLines;
    std::vector<std::string> memoLines;   // the text memo of a text page
    std::vector<std::string> answerLines; // the prompt under "Answers:" on the answers page
    std::array<std::string, 3> rhymes;    // all empty when the page has none
    OverlayTargets targets; // the ids of the ruled lines' words, the rhymes and the page's text
    std::vector<OverlayClip> overlay; // in ms of the narration
};

struct ExportedBook {
    std::string title;
    std::string identifier; // a URN made from the database: the same pages, the same book
    std::string modified;   // the last change of the data files, as CCYY-MM-DDThh:mm:ssZ
    std::string font;       // the handwriting font file, without the font block's padding
    double fontAscent = 0;  // of the handwriting face at the ruled lines' size, in pixels
    double fontDescent = 0;
    std::vector<ExportedPage> pages; // in reading order, each page's read-through after it
    std::map<std::string, std::string> pictures; // PNG files by their name in the book
    EncodedNarration narration;
};

// Reads the book in folder with the program's own readers. Raises ToolError naming the file
// that keeps the book from being exported: a folder that isn't a book folder, a database that
// doesn't load, a page of a book other than book 1 (only it has a narration), a missing or
// unreadable narration file or picture, a stretch that is reversed or runs past the narration.
ExportedBook ReadBookForExport(const std::string& folder);

} // namespace tavelio::book
