// tavelio-book make: a book's data folder from the author's source.
#pragma once

#include <filesystem>
#include <ostream>

namespace tavelio::book {

// Reads the book source at sourcePath (book_source.h), aligns its recording to the pages' said
// phrases, and writes a complete data folder into outFolder: QVDB.dat and Graphics.dat with
// every stretch, page script and picture size computed, the narration as WAV and MP3, the clips
// and the handwriting font's licence. The folder is made beside outFolder and takes its place
// only once the whole book is written and passes tavelio-book check, so a failed make leaves
// outFolder as it was; outFolder may be missing, empty or a book folder (which is replaced).
// Says what it made on out; tells progress on progress when it is given (a terminal). Raises
// ToolError naming the source file, the page and the field when the book can't be made.
void RunMake(const std::filesystem::path& sourcePath, const std::filesystem::path& outFolder,
             std::ostream& out, std::ostream* progress);

} // namespace tavelio::book
