// Where each page of a made book is said in its narration: the page's stretch, and the moments of
// its phrases and words within it, from the aligned recording.
#pragma once

#include "align/aligner.h"
#include "book/book_source.h"

#include <string>
#include <vector>

namespace tavelio::book {

// Times in milliseconds from the page's SpeechStart, as the page script counts them.
struct TimedWord {
    std::string text;
    int atMs = 0;
};
struct TimedPhrase {
    int startMs = 0; // where its first word, and so its sound, begins
    int endMs = 0;   // where its sound ends
    std::vector<TimedWord> words;
};
struct PageTiming {
    int speechStart = 0; // in the narration file
    int speechEnd = 0;
    std::vector<TimedPhrase> phrases; // one for each say phrase
    int LengthMs() const { return speechEnd - speechStart; }
};

// The text the recording reads: every page's say phrases, page by page.
std::vector<align::TextFragment> ReadingTextOf(const BookSource& source);

// The timing of every page from the alignment of ReadingTextOf(source). A stretch reaches a
// little before the page's first sound and after its last, for the soft edges of speech, but
// never past the middle of the pause between two pages: it holds all of its own words and none
// of the next page's.
std::vector<PageTiming> TimePages(const BookSource& source, const align::Alignment& alignment);

} // namespace tavelio::book
