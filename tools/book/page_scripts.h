// The page scripts of a made book, timed by the recording: the arrow under each word as it is
// said, rhyme words when they are said, read-through steps when each group is read.
#pragma once

#include "book/book_source.h"
#include "book/page_timing.h"

#include <QFont>
#include <string>
#include <vector>

namespace tavelio::book {

// The lines of the page's ScriptText, with delays in milliseconds from its SpeechStart; an empty
// list for a page without a script. The arrow's stops stand under the middle of each word (or,
// spelling, of each letter and then the word) as handwriting, a font of the ruled lines' size,
// lays the line out on its ruled line. Raises ToolError naming the page's script when its
// ruled lines' words are not the words its arrow phrases say, and naming its text when a ruled
// line is too wide for its rule.
std::vector<std::string> MakePageScript(const BookSource& source, const SourcePage& page,
                                        const PageTiming& timing, const QFont& handwriting);

} // namespace tavelio::book
