// The pages of an exported read-along book as XHTML, and the style sheet they share. The EPUB
// and the web read-along show the same pages; the web one adds its player.
#pragma once

#include "book/epub_book.h"

#include <string>

namespace tavelio::book {

// The class a reading system gives the element being read, and the highlight the style sheet
// gives it.
inline constexpr const char* kActiveClass = "reading-now";

inline constexpr const char* kStyleSheetFile = "book.css";
inline constexpr const char* kFontFile = "fonts/handwriting.ttf";

// What a page carries beyond what it shows: the web read-along's player, nothing for the EPUB.
struct PageExtras {
    std::string script;      // a script file to load, or empty
    std::string clipsJson;   // the page's clips for that script, or empty
    std::string audio;       // the narration file the script plays
    std::string activeClass; // the class the script gives the element being read
    std::string previous;    // pages to link to, or empty
    std::string next;
    std::string continues; // the page the narration reads on in (a read-through step), or empty
};

// The page as one fixed 800 x 600 XHTML document: the picture, the instructions, the ruled lines
// with each word at the x where the viewer draws it, the text memo, the answers, the rhymes.
std::string PageXhtml(const ExportedBook& book, const ExportedPage& page,
                      const PageExtras& extras = {});

// The style sheet of the pages: the design's faces and sizes, the rules of handwriting paper,
// and the highlight of the word being read (with the red underline that recalls the arrow).
std::string StyleSheet(const ExportedBook& book);

} // namespace tavelio::book
