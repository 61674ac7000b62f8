// The narration timeline of an exported page: which element each stretch of the voice reads.
#include "book/epub_overlay.h"

#include <gtest/gtest.h>

namespace tavelio::book {
namespace {

using Clips = std::vector<OverlayClip>;

// Ruled line 1 holds "Ann" from 200 to 280 and "has" from 300 to 380; line 2 holds "big" from
// 400 to 480. The arrow is 25 pixels wide: left L points at L + 12.5.
OverlayTargets Targets() {
    OverlayTargets targets;
    targets.ruledLines[0] = {{"ann", 200, 280}, {"has", 300, 380}};
    targets.ruledLines[1] = {{"big", 400, 480}};
    targets.rhymes = "rhymes";
    targets.whole = "text";
    return targets;
}

TEST(PageOverlay, ArrowStepsTieEachWordToItsStretchAndTheRestToThePage) {
    // Under "Ann" after 1000 ms, under "has" 500 ms later (its left points between the words,
    // nearer "has"), on to line 2's "big", hidden, then nothing more.
    const std::vector<std::string> script{"3",   "1000", "1",   "228", "500", "1",  "280",
                                          "400", "2",    "430", "300", "0",   "200"};
    EXPECT_EQ(PageOverlay(script, 1, 5000, 9000, Targets()), (Clips{{"text", 5000, 6000},
                                                                    {"ann", 6000, 6500},
                                                                    {"has", 6500, 6900},
                                                                    {"big", 6900, 7200},
                                                                    {"text", 7200, 9000}}));
    // Two stops on one word read as one clip; a code other than 0 to 5 keeps the arrow's line;
    // when the lines run out the arrow goes.
    const std::vector<std::string> spelled{"3", "100", "2", "410", "50", "9", "440", "50"};
    EXPECT_EQ(PageOverlay(spelled, 1, 0, 400, Targets()),
              (Clips{{"text", 0, 100}, {"big", 100, 200}, {"text", 200, 400}}));
}

TEST(PageOverlay, TheStretchBoundsTheTimeline) {
    const std::vector<std::string> script{"3", "1000", "1", "228", "5000"};
    // A step that runs past the stretch's end is cut off there; one that begins after it is left
    // out.
    EXPECT_EQ(PageOverlay(script, 1, 0, 3000, Targets()),
              (Clips{{"text", 0, 1000}, {"ann", 1000, 3000}}));
    EXPECT_EQ(PageOverlay(script, 1, 0, 800, Targets()), (Clips{{"text", 0, 800}}));
    EXPECT_TRUE(PageOverlay(script, 1, 700, 700, Targets()).empty());
    // A delay of 0 holds the arrow for good, as the viewer's timer never fires on it.
    const std::vector<std::string> stuck{"3", "100", "1", "228", "0", "1", "320", "100"};
    EXPECT_EQ(PageOverlay(stuck, 1, 0, 2000, Targets()),
              (Clips{{"text", 0, 100}, {"ann", 100, 2000}}));
}

TEST(PageOverlay, RhymesAreReadFromTheMomentTheyAppear) {
    EXPECT_EQ(PageOverlay({"2", "1500", "cat", "hat", "bat"}, 6, 100, 4100, Targets()),
              (Clips{{"text", 100, 1600}, {"rhymes", 1600, 4100}}));
    // Handed over by the arrow: the rhymes' delay counts from the hand-over.
    EXPECT_EQ(
        PageOverlay({"3", "500", "1", "228", "700", "5", "300", "cat", "hat", "bat"}, 1, 0, 3000,
                    Targets()),
        (Clips{
            {"text", 0, 500}, {"ann", 500, 1200}, {"text", 1200, 1500}, {"rhymes", 1500, 3000}}));
    // A page without a script is read as a whole.
    EXPECT_EQ(PageOverlay({" "}, 3, 10, 20, Targets()), (Clips{{"text", 10, 20}}));
}

TEST(PageOverlay, EachReadThroughStepIsReadFromTheMomentItComes) {
    OverlayTargets targets = Targets();
    EXPECT_EQ(PageOverlay({"1", "300", "400", "500"}, 2, 0, 1000, targets),
              (Clips{{"text", 0, 1000}}));
    targets.readThroughSteps = {"step1", "step2"};
    EXPECT_EQ(PageOverlay({"1", "300", "400", "500"}, 2, 0, 1000, targets),
              (Clips{{"text", 0, 300}, {"step1", 300, 700}, {"step2", 700, 1000}}));
    // Handed over by the arrow: the first delay counts from the hand-over.
    EXPECT_EQ(
        PageOverlay({"3", "100", "1", "228", "200", "4", "50", "60", "70"}, 2, 0, 600, targets),
        (Clips{{"text", 0, 100},
               {"ann", 100, 300},
               {"text", 300, 350},
               {"step1", 350, 410},
               {"step2", 410, 600}}));
}

} // namespace
} // namespace tavelio::book
