// The web read-along of an exported book: the book's pages as a small static web site that plays
// the narration in any browser and highlights each word as the voice reads it, for devices
// without a reading system.
#pragma once

#include "book/epub_book.h"

#include <map>
#include <string>

namespace tavelio::book {

// The files of the site by their path under its folder: index.html (which opens the cover), the
// pages with their player, the style sheet, the font, the pictures and the narration. A page's
// player highlights the element whose clip holds the audio's time; a page opened with
// "#clock=T1,T2,..." (seconds of the narration) instead shows the element at each of those times
// in turn and leaves the ids it showed, comma-separated ("-" for none), in the body's
// data-trace attribute, so that a test can drive the clock.
std::map<std::string, std::string> WebReadAlongFiles(const ExportedBook& book);

} // namespace tavelio::book
