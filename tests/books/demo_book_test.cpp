// The demo book as the build leaves it in its data folder, read with the program's own reader:
// the pages, layouts, scripts and files that a first reading of "Ann and the Seed" relies on.
#include "content/book_cursor.h"
#include "content/database_reader.h"
#include "content/page_rules.h"
#include "content/page_script_grammar.h"
#include "content/page_table.h"
#include "content/tilde_lines.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tavelio {
namespace {

constexpr int kPages = 12;
// The ruled text lines: labels at left 144, 497 wide; the arrow panel is 25 wide.
constexpr int kLineLeft = 144;
constexpr int kLineWidth = 497;
constexpr int kArrowWidth = 25;

class DemoBookTest : public ::testing::Test {
protected:
    DemoBookTest() { LoadDatabase(Data("QVDB.dat"), scratch_.Path("ZBM.TTF"), table_); }

    static std::string Data(const std::string& name) {
        return (std::filesystem::path(TAVELIO_DEMO_DIR) / name).string();
    }
    const QVDBType& Page(int pageNo) const { return table_.At(pageNo + 1); }
    static std::vector<std::string> Lines(const std::string& field) {
        return SplitTildeLines(field);
    }
    // The page's script read by the viewer's grammar; the lines must outlive the result.
    static std::optional<ScriptMode> Mode(const QVDBType& page) {
        const auto lines = Lines(page.ScriptText);
        return ModeOfScript(ScriptLines(lines));
    }
    static int Line(const std::vector<std::string>& lines, std::int32_t n) {
        return ScriptLines(lines).Number(n);
    }

    std::vector<int> PagesWithMode(ScriptMode mode) const {
        std::vector<int> found;
        for (int n = 0; n < kPages; ++n) {
            if (Mode(Page(n)) == mode) {
                found.push_back(n);
            }
        }
        return found;
    }

    test::ScratchDir scratch_;
    PageTable table_;
};

TEST_F(DemoBookTest, IsBookOneWithTwelvePagesInOrder) {
    for (int n = 0; n < kPages; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Page(n).BookNo, 1);
        EXPECT_EQ(Page(n).PageNo, n);
        EXPECT_EQ(Page(n).Title, "Ann and the Seed");
    }
    EXPECT_EQ(Page(kOpeningStoryPage + kLastPageAfterStory).PageNo, kPages - 1) << "the last page";
    EXPECT_EQ(table_.At(13).BookNo, 0) << "nothing follows the twelve records";
}

TEST_F(DemoBookTest, FirstPageAfterTheCoverHasRuledLines) {
    EXPECT_GE(Page(1).PageKind, 1);
    EXPECT_LE(Page(1).PageKind, 3);
}

TEST_F(DemoBookTest, OrdinaryPagesShowEveryLayout) {
    std::set<int> kinds;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 10}) {
        kinds.insert(Page(n).PageKind >= 4 && Page(n).PageKind <= 6 ? 4 : Page(n).PageKind);
    }
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST_F(DemoBookTest, EveryPageHasInstructionsAndItsOwnNarration) {
    for (int n = 0; n < kPages; ++n) {
        SCOPED_TRACE(n);
        const auto instructions = Lines(Page(n).InstructionText);
        ASSERT_FALSE(instructions.empty());
        EXPECT_EQ(instructions.front().back(), '.');
        EXPECT_LT(Page(n).SpeechStart, Page(n).SpeechEnd);
        if (n > 0) {
            EXPECT_LT(Page(n - 1).SpeechEnd, Page(n).SpeechStart) << "stretches must not overlap";
        }
    }
}

TEST_F(DemoBookTest, AnimatedPagesHaveATallAndAShortClipThatFitTheScreen) {
    bool tall = false;
    bool shortClip = false;
    for (int n = 0; n < kPages; ++n) {
        const QVDBType& page = Page(n);
        if (page.AniFile == "None") {
            continue;
        }
        SCOPED_TRACE(page.AniFile);
        EXPECT_TRUE(std::filesystem::is_regular_file(Data(page.AniFile)));
        tall = tall || page.MediaHeight > 225;
        shortClip = shortClip || page.MediaHeight <= 225;
        if (page.PageKind >= 1 && page.PageKind <= 3) {
            // The last ruled line ends 27 + height + 66 per line below it + 71 from the top.
            const int lineBottom =
                27 + std::max<int>(page.MediaHeight, 225) + 66 * (page.PageKind - 1) + 71;
            EXPECT_LT(lineBottom, 560);
        }
    }
    EXPECT_TRUE(tall) << "a clip taller than 225 moves the ruled lines down";
    EXPECT_TRUE(shortClip);
}

TEST_F(DemoBookTest, PicturesUseTheJpegBitmapAndMetafileLoadersAtTheirLayoutSizes) {
    std::set<std::string> types;
    for (int n = 0; n < kPages; ++n) {
        const QVDBType& page = Page(n);
        types.insert(page.PicType);
        if (page.AniFile == "None" && page.PicType != "NA" && page.PageKind >= 1 &&
            page.PageKind <= 3) {
            EXPECT_EQ(page.MediaWidth, 315) << n;
            EXPECT_EQ(page.MediaHeight, 225) << n;
        }
    }
    EXPECT_TRUE(types.count("jpg"));
    EXPECT_TRUE(types.count("bmp"));
    EXPECT_TRUE(types.count("emf")) << "the word cards of page 10";
    // A picture page's picture is drawn 4 pixels larger each way than its media size, so the
    // cover's 493 x 432 picture fills exactly the cover's frame.
    EXPECT_EQ(Page(0).MediaWidth, 489);
    EXPECT_EQ(Page(0).MediaHeight, 428);
}

TEST_F(DemoBookTest, RhymePageShowsThreeWordsWhileItsNarrationPlays) {
    const auto pages = PagesWithMode(ScriptMode::Rhymes);
    ASSERT_FALSE(pages.empty());
    for (int n : pages) {
        const auto lines = Lines(Page(n).ScriptText);
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_GT(Line(lines, 1), 0);
        EXPECT_LT(Line(lines, 1), Page(n).SpeechEnd - Page(n).SpeechStart);
    }
}

TEST_F(DemoBookTest, ArrowScriptsStayUnderTheShownWordsAndHandOver) {
    std::set<int> handovers;
    for (int n : PagesWithMode(ScriptMode::Arrows)) {
        SCOPED_TRACE(n);
        const QVDBType& page = Page(n);
        const auto lines = Lines(page.ScriptText);
        const ParsedPageScript script = ParsePageScript(ScriptLines(lines), page.PageNo);
        const auto& arrows = std::get<ArrowScript>(script.body);
        ASSERT_FALSE(arrows.instructions.empty());
        int elapsed = arrows.firstDelay.value;
        for (const ArrowInstruction& stop : arrows.instructions) {
            const int code = stop.code.value;
            EXPECT_GE(code, 1);
            EXPECT_LE(code, page.PageKind) << "the arrow stays under shown ruled lines";
            EXPECT_GE(stop.left->value, kLineLeft);
            EXPECT_LE(stop.left->value, kLineLeft + kLineWidth - kArrowWidth);
            EXPECT_GT(stop.delay.value, 0);
            elapsed += stop.delay.value;
        }
        EXPECT_LE(elapsed, page.SpeechEnd - page.SpeechStart + 500);
        if (const auto* readThrough = std::get_if<ReadThroughBlock>(&arrows.handOver)) {
            handovers.insert(4);
            // The read-through that follows: a delay before step 1 and after each of PageNo
            // steps, and every picture it shows lies in the book.
            EXPECT_EQ(static_cast<int>(lines.size()), readThrough->delays.back().line + 1);
            const int slot = page.PageNo + 1;
            EXPECT_GE(slot - kOpeningStoryPage + 1, 1);
            EXPECT_LE(slot - kOpeningStoryPage + page.PageNo, kPages);
        }
        if (const auto* rhymes = std::get_if<RhymeBlock>(&arrows.handOver)) {
            handovers.insert(5);
            EXPECT_EQ(static_cast<int>(lines.size()), rhymes->words.back().line + 1);
        }
    }
    EXPECT_TRUE(handovers.count(4)) << "an arrow script hands over to a read-through";
    EXPECT_TRUE(handovers.count(5)) << "an arrow script hands over to rhymes";
}

TEST_F(DemoBookTest, StoryPageReadsTheWholeStoryInStepWithTheNarration) {
    const QVDBType& story = Page(kOpeningStoryPage);
    ASSERT_EQ(Mode(story), ScriptMode::ReadThrough);
    const auto lines = Lines(story.ScriptText);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kOpeningStoryPage + 2));
    int total = 0;
    for (std::int32_t k = 1; k < static_cast<std::int32_t>(lines.size()); ++k) {
        EXPECT_GT(Line(lines, k), 0) << k;
        total += Line(lines, k);
    }
    // The delays cover the narration from its start to its end.
    EXPECT_NEAR(total, story.SpeechEnd - story.SpeechStart, 100);
    // Nine groups of PageKind lines: the opening and one for each step, so the rotation ends
    // on the last group.
    ASSERT_GE(story.PageKind, 1);
    EXPECT_EQ(Lines(story.PageText).size(),
              static_cast<std::size_t>((kOpeningStoryPage + 1) * story.PageKind));
}

TEST_F(DemoBookTest, PromptsGiveTheWordsAChildCannotSee) {
    EXPECT_NE(Page(kOpeningStoryPage + 1).PromptText, " ") << "the answers page shows its answers";
    for (int n = 1; n < kPages; ++n) {
        if (Page(n).PageKind == 0) {
            EXPECT_NE(Page(n).PromptText, " ") << "picture page " << n << " shows no text";
        }
    }
}

TEST_F(DemoBookTest, FontBlockHoldsTheRenamedHandwritingFace) {
    const std::string font = test::ReadFile(scratch_.Path("ZBM.TTF"));
    std::string utf16;
    for (char c : std::string("Zaner-Bloser Manuscript")) {
        utf16 += '\0';
        utf16 += c;
    }
    EXPECT_NE(font.find(utf16), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(Data("OFL.txt")));
}

} // namespace
} // namespace tavelio
