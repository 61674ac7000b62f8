// The demo book as the build leaves it in its data folder, read with the program's own reader:
// the pages, layouts, scripts and files that a first reading of "Ann and the Seed" relies on.
#include "content/database_reader.h"
#include "content/number_text.h"
#include "content/page_table.h"
#include "content/scratch_dir.h"
#include "content/tilde_lines.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tavelio {
namespace {

constexpr int kStoryPage = 8;
constexpr int kPages = 12;
// The ruled text lines: labels at left 144, 497 wide; the arrow panel is 25 wide.
constexpr int kLineLeft = 144;
constexpr int kLineWidth = 497;
constexpr int kArrowWidth = 25;

// One arrow script walked as the viewer's arrow timer walks it.
struct ArrowWalk {
    struct Stop {
        int code;
        int left;
        int delay;
    };
    int firstDelay = 0;
    std::vector<Stop> stops;
    int handover = 0;     // 4 (read-through), 5 (rhymes) or 0 (the lines run out)
    int handoverLine = 0; // line of the handover code
};

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
    static int Mode(const QVDBType& page) {
        return page.ScriptText == " " ? 0 : TextToNumber(Lines(page.ScriptText).at(0));
    }
    static int Line(const std::vector<std::string>& lines, std::size_t n) {
        return n < lines.size() ? TextToNumber(lines[n]) : 0;
    }

    static ArrowWalk Walk(const QVDBType& page) {
        const auto lines = Lines(page.ScriptText);
        ArrowWalk walk;
        walk.firstDelay = Line(lines, 1);
        std::size_t at = 2;
        while (at < lines.size()) {
            const int code = Line(lines, at);
            if (code == 4 || code == 5) {
                walk.handover = code;
                walk.handoverLine = static_cast<int>(at);
                break;
            }
            walk.stops.push_back({code, Line(lines, at + 1), Line(lines, at + 2)});
            at += 3;
        }
        return walk;
    }

    std::vector<int> PagesWithMode(int mode) const {
        std::vector<int> found;
        for (int n = 0; n < kPages; ++n) {
            if (Mode(Page(n)) == mode) {
                found.push_back(n);
            }
        }
        return found;
    }

    testing::ScratchDir scratch_;
    PageTable table_;
};

TEST_F(DemoBookTest, IsBookOneWithTwelvePagesInOrder) {
    for (int n = 0; n < kPages; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Page(n).BookNo, 1);
        EXPECT_EQ(Page(n).PageNo, n);
        EXPECT_EQ(Page(n).Title, "Ann and the Seed");
    }
    EXPECT_EQ(Page(kStoryPage + 3).PageNo, 11) << "the last page is StoryPage + 3";
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
    EXPECT_EQ(Page(0).MediaWidth, 493);
    EXPECT_EQ(Page(0).MediaHeight, 432);
}

TEST_F(DemoBookTest, RhymePageShowsThreeWordsWhileItsNarrationPlays) {
    const auto pages = PagesWithMode(2);
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
    for (int n : PagesWithMode(3)) {
        SCOPED_TRACE(n);
        const QVDBType& page = Page(n);
        const ArrowWalk walk = Walk(page);
        handovers.insert(walk.handover);
        ASSERT_FALSE(walk.stops.empty());
        int elapsed = walk.firstDelay;
        for (const auto& stop : walk.stops) {
            EXPECT_GE(stop.code, 1);
            EXPECT_LE(stop.code, page.PageKind) << "the arrow stays under shown ruled lines";
            EXPECT_GE(stop.left, kLineLeft);
            EXPECT_LE(stop.left, kLineLeft + kLineWidth - kArrowWidth);
            EXPECT_GT(stop.delay, 0);
            elapsed += stop.delay;
        }
        EXPECT_LE(elapsed, page.SpeechEnd - page.SpeechStart + 500);
        if (walk.handover == 4) {
            // The read-through that follows: a delay before step 1 and after each of PageNo
            // steps, and every picture it shows lies in the book.
            const auto lines = Lines(page.ScriptText);
            EXPECT_EQ(static_cast<int>(lines.size()), walk.handoverLine + 2 + page.PageNo);
            const int slot = page.PageNo + 1;
            EXPECT_GE(slot - kStoryPage + 1, 1);
            EXPECT_LE(slot - kStoryPage + page.PageNo, kPages);
        }
        if (walk.handover == 5) {
            EXPECT_EQ(Lines(page.ScriptText).size(),
                      static_cast<std::size_t>(walk.handoverLine + 5));
        }
    }
    EXPECT_TRUE(handovers.count(4)) << "an arrow script hands over to a read-through";
    EXPECT_TRUE(handovers.count(5)) << "an arrow script hands over to rhymes";
}

TEST_F(DemoBookTest, StoryPageReadsTheWholeStoryInStepWithTheNarration) {
    const QVDBType& story = Page(kStoryPage);
    ASSERT_EQ(Mode(story), 1);
    const auto lines = Lines(story.ScriptText);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kStoryPage + 2));
    int total = 0;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        EXPECT_GT(Line(lines, k), 0) << k;
        total += Line(lines, k);
    }
    // The delays cover the narration from its start to its end.
    EXPECT_NEAR(total, story.SpeechEnd - story.SpeechStart, 100);
    // Nine groups of PageKind lines: the opening and one for each step, so the rotation ends
    // on the last group.
    ASSERT_GE(story.PageKind, 1);
    EXPECT_EQ(Lines(story.PageText).size(),
              static_cast<std::size_t>((kStoryPage + 1) * story.PageKind));
}

TEST_F(DemoBookTest, PromptsGiveTheWordsAChildCannotSee) {
    EXPECT_NE(Page(kStoryPage + 1).PromptText, " ") << "the answers page shows its answers";
    for (int n = 1; n < kPages; ++n) {
        if (Page(n).PageKind == 0) {
            EXPECT_NE(Page(n).PromptText, " ") << "picture page " << n << " shows no text";
        }
    }
}

TEST_F(DemoBookTest, FontBlockHoldsTheRenamedHandwritingFace) {
    const std::string font = testing::ReadFile(scratch_.Path("ZBM.TTF"));
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
