// The text a recording reads: how lines become pages and fragments.
#include "align/align_error.h"
#include "align/reading_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavelio::align {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ReadingTextTest, EmptyLinesStartPagesAndWordsKeepTheirPunctuation) {
    const auto fragments = ReadReadingText("\xEF\xBB\xBF  Ann has\ta seed.\r\nShe is glad!\n"
                                           "\n \r\n\nUp, up, up!\n");
    ASSERT_EQ(fragments.size(), 3u);
    EXPECT_EQ(fragments[0].text, "Ann has a seed.");
    EXPECT_THAT(fragments[0].words, ElementsAre("Ann", "has", "a", "seed."));
    EXPECT_EQ(fragments[1].page, 0);
    EXPECT_EQ(fragments[1].indexOnPage, 2);
    // A run of empty lines is one page break.
    EXPECT_EQ(fragments[2].page, 1);
    EXPECT_EQ(FragmentPlace(fragments[2]), "page 1, fragment 1");
}

TEST(ReadingTextTest, RefusesTextThatIsNotUtf8OrHasNoFragment) {
    try {
        ReadReadingText("Ann\nhas \xC3\x28 seed\n");
        FAIL() << "bad UTF-8 was read";
    } catch (const AlignError& error) {
        EXPECT_THAT(error.what(), HasSubstr("line 2 is not UTF-8"));
    }
    EXPECT_THROW(ReadReadingText(" \n\n\t\n"), AlignError);
    EXPECT_THROW(ReadReadingText(""), AlignError);
}

} // namespace
} // namespace tavelio::align
