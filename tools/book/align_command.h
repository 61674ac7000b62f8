// tavelio-book align: where a recording says each fragment and word of a text.
#pragma once

#include <ostream>
#include <string>

namespace tavelio::book {

// Aligns the UTF-8 text at textPath (a fragment a line, an empty line before each new page) to
// the recording at recordingPath with the reference voice of language, and prints the alignment
// to out as one JSON object: the recording as given, its duration and each fragment with its
// page, text, begin and end, confidence and words, all times in whole milliseconds. Raises
// ToolError naming the file (and, for a fragment the recording does not say, the fragment).
void RunAlign(const std::string& recordingPath, const std::string& textPath,
              const std::string& language, std::ostream& out);

} // namespace tavelio::book
