// tavelio-book epub: a book folder as an EPUB 3 read-along book, or as a web read-along.
#pragma once

#include <string>

namespace tavelio::book {

// Reads the book in folder (epub_book.h) and writes it as one fixed-layout EPUB 3 file with
// media overlays at outFile. Raises ToolError naming the file at fault; outFile is then left as
// it was.
void RunEpub(const std::string& folder, const std::string& outFile);

// Reads the book in folder and writes its web read-along (epub_web.h) into outFolder, replacing
// a folder of that name only once the new one is complete. Raises ToolError naming the file at
// fault; outFolder is then left as it was.
void RunWebReadAlong(const std::string& folder, const std::string& outFolder);

} // namespace tavelio::book
