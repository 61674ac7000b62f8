// The "~" line encoding of the record's text fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavelio {

// Splits a record string into lines: every "~" ends a line, and the text after the last "~" is
// one more line only when it is not empty. So "a~" gives one line, "a~~" gives "a" and an empty
// line, "~" gives one empty line, "" gives no line and " " one line holding a blank. Lines are
// kept as they are (no trimming).
std::vector<std::string> SplitTildeLines(std::string_view text);

} // namespace tavelio
