// The start-up's first look at the working directory: the book's database (kDatabaseFileName,
// content/data_file_names.h), whose absence is the first sign that the reader was started in the
// wrong folder.
#pragma once

#include <optional>
#include <string>

namespace tavelio {

// A note for standard error when the working directory holds no database file: which file is
// missing in which folder, and how the reader is meant to be started. The error box of the
// start-up can only say "File not found.", which leaves a parent at a terminal guessing. Nothing
// when the file is there.
std::optional<std::string> MissingDatabaseNote();

} // namespace tavelio
