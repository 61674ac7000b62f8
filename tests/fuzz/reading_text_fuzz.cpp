// The reading text of the aligner on any bytes: it reads or refuses with its own error, and what
// it reads holds together: pages rise from 0, fragments count from 1 on each page, and every
// fragment's text is its words joined by single spaces, none of them empty or holding a space.
#include "align/align_error.h"
#include "align/reading_text.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {
namespace {

void CheckFragments(const std::vector<align::TextFragment>& fragments) {
    FUZZ_CHECK(!fragments.empty());
    int page = 0;
    int onPage = 0;
    for (const align::TextFragment& fragment : fragments) {
        FUZZ_CHECK(fragment.page == page || fragment.page == page + 1);
        onPage = fragment.page == page ? onPage + 1 : 1;
        page = fragment.page;
        FUZZ_CHECK(fragment.indexOnPage == onPage);
        std::string joined;
        for (const std::string& word : fragment.words) {
            FUZZ_CHECK(!word.empty() && word.find_first_of(" \t\n\r") == std::string::npos, word);
            joined += (joined.empty() ? "" : " ") + word;
        }
        FUZZ_CHECK(joined == fragment.text, fragment.text);
    }
    FUZZ_CHECK(fragments.front().page == 0);
}

} // namespace
} // namespace tavelio::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        tavelio::fuzz::CheckFragments(tavelio::align::ReadReadingText(text));
    } catch (const tavelio::align::AlignError&) {
        // Refused with the reader's own error, as it may be.
    }
    return 0;
}
