// tavelio-book check: whether a data folder holds a book the reader can show as it is meant.
#pragma once

#include <ostream>
#include <string>

namespace tavelio::book {

// Checks the data folder as the program would use it with every setting at its default
// (narration and animation files found by the media path rule with FromPath "."): the database
// loads; the book structure holds; every picture copies out by the program's block rule and
// decodes through the program's own loaders; the narration and every animation file exist;
// every page's narration stretch is in order and inside the narration file; every script parses.
// Prints one line per problem to err ("slot 3 (page 2), PicType: ...", or a file's path as given
// followed by what is wrong with it) and a closing line that says in a book author's words what
// was checked and how it went to out. Returns the exit status: 0 when no problem was found, 1
// otherwise. A folder that is missing or not a folder raises ToolError.
int RunCheck(const std::string& folder, std::ostream& out, std::ostream& err);

} // namespace tavelio::book
