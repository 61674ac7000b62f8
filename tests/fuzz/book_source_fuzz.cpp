// The author's book source on any text: it is refused with the tool's own error, or read into a
// book that make can time: twelve pages in order, each saying something, every script intent
// naming phrases the page says and fitting its page.
#include "book/book_source.h"
#include "book/tool_error.h"
#include "content/page_rules.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {
namespace {

// The files a source may name besides itself; the seed corpus names them.
void MakeFolder() {
    for (const char* name : {"picture.jpg", "clip.avi", "recording.wav"}) {
        ScratchFile(name, "bytes");
    }
    // Nine paragraphs of two lines: what the demo's story page reads through.
    std::string story;
    for (int paragraph = 0; paragraph < 9; ++paragraph) {
        story += "Here is Ann.\nShe likes plants.\n\n";
    }
    ScratchFile("story.txt", story);
}

void CheckPage(const book::SourcePage& page, int index) {
    FUZZ_CHECK(page.pageNo == index);
    FUZZ_CHECK(IsKnownPageKind(page.pageKind));
    FUZZ_CHECK(!page.say.empty());
    const auto said = [&](int phrase) {
        return phrase >= 0 && phrase < static_cast<int>(page.say.size());
    };
    const book::ScriptPlan& plan = page.script;
    for (const int phrase : plan.arrow) {
        FUZZ_CHECK(said(phrase));
    }
    FUZZ_CHECK(plan.arrow.empty() || RuledLineCount(page.pageKind) > 0);
    FUZZ_CHECK(!plan.rhymes || (said(plan.rhymes->phrase) && plan.rhymes->words.size() == 3));
    if (!plan.readThrough.empty()) {
        FUZZ_CHECK(plan.readThrough.size() == static_cast<std::size_t>(page.pageNo));
        FUZZ_CHECK(page.text.size() == (plan.readThrough.size() + 1) *
                                           static_cast<std::size_t>(RuledLineCount(page.pageKind)));
    }
}

} // namespace
} // namespace tavelio::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool made = (tavelio::fuzz::MakeFolder(), true);
    (void)made;
    const std::string path =
        tavelio::fuzz::ScratchFile("book.json", tavelio::fuzz::Bytes(data, size));
    try {
        const tavelio::book::BookSource source = tavelio::book::ReadBookSource(path);
        FUZZ_CHECK(source.pages.size() == 12);
        for (std::size_t i = 0; i < source.pages.size(); ++i) {
            tavelio::fuzz::CheckPage(source.pages[i], static_cast<int>(i));
        }
    } catch (const tavelio::book::ToolError&) {
        // Refused with the tool's own error, as it may be.
    }
    return 0;
}
