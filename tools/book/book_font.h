// The handwriting font of a made book: the author's own, or the books' own face, with its
// licence where one comes with it.
#pragma once

#include "book/book_source.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tavelio::book {

struct BookFont {
    std::string bytes;                            // fit for the database's font block
    std::optional<std::filesystem::path> licence; // to go into the data folder with the font
};

// The source's font made into the book's handwriting face, or without one the books' own face
// (made from Andika, fonts-sil-andika) with its licence, OFL.txt. An author's font takes along
// the licence file beside it, if there is one (OFL.txt, LICENSE, LICENSE.txt, COPYING). Raises
// ToolError naming the source's font when the font can't be made the book's.
BookFont ReadBookFont(const BookSource& source);

} // namespace tavelio::book
