// The EPUB 3 package of an exported book: the fixed-layout pages with their media overlays, the
// navigation document with its page list, the metadata a reading system and its accessibility
// search want, and the container that holds them.
#pragma once

#include "book/epub_book.h"

#include <map>
#include <string>

namespace tavelio::book {

// The files of the package by their path in the container, "mimetype" among them.
std::map<std::string, std::string> EpubFiles(const ExportedBook& book);

// One page's media overlay as SMIL: a par for each clip, tying its element on the page to its
// stretch of the narration.
std::string OverlaySmil(const ExportedPage& page, const std::string& audioFile);

// A time in ms as an overlay clock value, "h:mm:ss.fff".
std::string ClockValue(std::int64_t ms);

// Writes the files as a ZIP container at path, the "mimetype" entry first and stored: into a
// temporary file beside path, renamed onto it when complete, so that a failure leaves path as it
// was. Raises ToolError naming path.
void WriteEpubContainer(const std::map<std::string, std::string>& files, const std::string& path);

} // namespace tavelio::book
