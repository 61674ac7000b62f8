// The reader of the database file: the handwriting font and the twelve page records.
#pragma once

#include "content/page_table.h"

#include <cstddef>
#include <string>

namespace tavelio {

// Stored bytes of the font block at the start of the database.
constexpr std::size_t kFontBlockSize = 52416;

// Reads the database at databasePath: decodes the font block into the file fontFile (created or
// emptied, mode 0600) and fills slots 1 to 12 of table with the twelve records that follow; the
// other slots are not touched. The database is opened first, so a missing database leaves
// fontFile as it was. Every failed file operation raises EInOutError at once; a database that
// ends early raises "Read beyond end of file" (100). What was done before an error stays done:
// the font file holds the bytes decoded so far, and the records and fields before the failing
// one are filled. Both files are closed on every path.
void LoadDatabase(const std::string& databasePath, const std::string& fontFile, PageTable& table);

} // namespace tavelio
