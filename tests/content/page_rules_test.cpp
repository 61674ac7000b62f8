#include "content/data_file_names.h"
#include "content/page_rules.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(PageRulesTest, RolesFollowFromThePageNumberAndTheStoryPage) {
    EXPECT_EQ(RoleOfPage(0, 8), PageRole::Cover);
    EXPECT_EQ(RoleOfPage(1, 8), PageRole::Ordinary);
    EXPECT_EQ(RoleOfPage(7, 8), PageRole::Ordinary);
    EXPECT_EQ(RoleOfPage(8, 8), PageRole::Story);
    EXPECT_EQ(RoleOfPage(9, 8), PageRole::Answers);
    EXPECT_EQ(RoleOfPage(10, 8), PageRole::Ordinary);
    EXPECT_EQ(RoleOfPage(11, 8), PageRole::Last);
    EXPECT_EQ(RoleOfPage(12, 8), PageRole::Ordinary);
    EXPECT_EQ(RoleOfPage(255, INT32_MAX), PageRole::Ordinary); // no overflow at the range's end
}

// A broken record's kind lays out as a text page's frame without showing the Text memo, and
// shows no ruled lines: what the viewer does with it stays harmless.
TEST(PageRulesTest, KindsOutsideTheKnownOnesShowNoLinesAndNoText) {
    for (const std::int8_t kind : {std::int8_t{-1}, std::int8_t{7}, std::int8_t{127}}) {
        EXPECT_FALSE(IsKnownPageKind(kind)) << int{kind};
        EXPECT_EQ(RuledLineCount(kind), 0) << int{kind};
        EXPECT_FALSE(IsTextPage(kind)) << int{kind};
    }
    EXPECT_TRUE(HasTextPageFrame(7));
    EXPECT_FALSE(HasTextPageFrame(-1));
}

TEST(PageRulesTest, TheNoneMarksAreComparedExactly) {
    QVDBType record;
    record.PicType = "na";
    record.AniFile = "none";
    record.PromptText = "  ";
    EXPECT_TRUE(HasPicture(record));
    EXPECT_TRUE(HasClip(record));
    EXPECT_TRUE(HasPrompt(record));
}

// A script the viewer runs names its mode; a blank mode line or an unknown mode is none.
TEST(PageRulesTest, APageHasAScriptWhoseModeTheViewerRuns) {
    QVDBType record;
    for (const auto& [script, has] : {std::pair{" ", false}, std::pair{" ~1~500", false},
                                      std::pair{"9~500", false}, std::pair{"2~500~a~b~c", true}}) {
        record.ScriptText = script;
        EXPECT_EQ(HasScript(record), has) << script;
    }
}

TEST(PageRulesTest, OnlyTheFirstBookHasANarrationName) {
    EXPECT_EQ(NarrationFileName(1, false), "A1Speach.wav");
    EXPECT_EQ(NarrationFileName(1, true), "A1Speach.mp3");
    EXPECT_EQ(NarrationFileName(2, false), ".wav");
    EXPECT_EQ(NarrationFileName(0, true), ".mp3");
}

} // namespace
} // namespace tavelio
