// The text that a recording reads: pages of fragments (a phrase or a line each) of words. Read
// from UTF-8 text in which every non-empty line is one fragment and an empty line (or a run of
// them) starts the next page. A fragment's words are its whitespace-separated tokens as written,
// punctuation kept with its word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavelio::align {

struct TextFragment {
    int page = 0;                   // numbered from 0
    int indexOnPage = 0;            // numbered from 1, as a person counts the lines of a page
    std::string text;               // its words, each separated from the next by one space
    std::vector<std::string> words; // its tokens, in order; never empty
};

// Reads the fragments of text. A byte-order mark and carriage returns before line ends are
// dropped. Raises AlignError for text that is not UTF-8 (naming the line) and for text without a
// single fragment.
std::vector<TextFragment> ReadReadingText(std::string_view text);

// How a person refers to a fragment in a message: "page 2, fragment 1".
std::string FragmentPlace(const TextFragment& fragment);

} // namespace tavelio::align
