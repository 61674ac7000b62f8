#include "book/page_timing.h"

#include <algorithm>
#include <sstream>

namespace tavelio::book {
namespace {

// Speech fades in and out; the aligner places a fragment at its clear sound. These margins keep
// a soft onset and a trailing consonant inside the stretch.
constexpr int kLeadMs = 150;
constexpr int kTailMs = 250;

std::vector<std::string> WordsOf(const std::string& phrase) {
    std::istringstream stream(phrase);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

} // namespace

std::vector<align::TextFragment> ReadingTextOf(const BookSource& source) {
    std::vector<align::TextFragment> text;
    for (const SourcePage& page : source.pages) {
        for (std::size_t i = 0; i < page.say.size(); ++i) {
            align::TextFragment fragment;
            fragment.page = page.pageNo;
            fragment.indexOnPage = static_cast<int>(i) + 1;
            fragment.words = WordsOf(page.say[i]);
            for (const std::string& word : fragment.words) {
                fragment.text += (fragment.text.empty() ? "" : " ") + word;
            }
            text.push_back(std::move(fragment));
        }
    }
    return text;
}

std::vector<PageTiming> TimePages(const BookSource& source, const align::Alignment& alignment) {
    std::vector<std::vector<const align::AlignedFragment*>> byPage(source.pages.size());
    for (const align::AlignedFragment& fragment : alignment.fragments) {
        byPage.at(static_cast<std::size_t>(fragment.page)).push_back(&fragment);
    }
    std::vector<PageTiming> pages(source.pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const int begin = byPage[p].front()->beginMs;
        const int end = byPage[p].back()->endMs;
        const int before = p == 0 ? 0 : byPage[p - 1].back()->endMs;
        const int after =
            p + 1 == pages.size() ? alignment.durationMs : byPage[p + 1].front()->beginMs;
        pages[p].speechStart = std::max(begin - kLeadMs, p == 0 ? 0 : (before + begin + 1) / 2);
        pages[p].speechEnd =
            std::min(end + kTailMs, p + 1 == pages.size() ? after : (end + after) / 2);
        for (const align::AlignedFragment* fragment : byPage[p]) {
            TimedPhrase phrase{fragment->beginMs - pages[p].speechStart,
                               fragment->endMs - pages[p].speechStart,
                               {}};
            for (const align::AlignedWord& word : fragment->words) {
                phrase.words.push_back({word.text, word.beginMs - pages[p].speechStart});
            }
            pages[p].phrases.push_back(std::move(phrase));
        }
    }
    return pages;
}

} // namespace tavelio::book
