// tavelio-book pack: data files from a book manifest.
#pragma once

#include "book/book_image.h"

#include <string>

namespace tavelio::book {

// Reads the JSON manifest at manifestPath (paths in it are relative to its folder) into the
// content of the data files. Refuses, with a ToolError naming the page and field, everything
// the program's reader would read differently from what the manifest says: a TAB in a field, a
// number outside its field's range or not a whole number, other than twelve pages, a font larger
// than the font block, a character that Windows-1252 cannot hold, a Letter of more than one
// character, a list line holding "~" or a list ending in an empty line, a missing picture file.
// An empty PromptText or ScriptText is stored as " ", which the reader makes of it anyway.
BookImage ReadManifest(const std::string& manifestPath);

// ReadManifest, then writes QVDB.dat and Graphics.dat into outFolder (made when missing).
// Nothing is written when the manifest is refused.
void RunPack(const std::string& manifestPath, const std::string& outFolder);

} // namespace tavelio::book
