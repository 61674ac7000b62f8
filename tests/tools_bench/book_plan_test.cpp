#include "bench/book_plan.h"
#include "bench/child_process.h"

#include <gtest/gtest.h>

namespace tavelio::bench {
namespace {

TEST(BookPlanTest, ThePagesOfTheDemoBookWithTheirPicturesAndThePagesToWatch) {
    const BookPlan plan = PlanBook(TAVELIO_DEMO_DIR);
    ASSERT_EQ(plan.pages.size(), 12u);
    EXPECT_EQ(plan.pages.front().pageNo, 0);
    EXPECT_EQ(plan.clipPage, 3);
    EXPECT_EQ(plan.idlePage, 11);
    for (const PlannedPage& page : plan.pages) {
        if (!page.picture.empty()) {
            // Read out of the archive and decoded from its byte coding: a JPEG's start of image.
            EXPECT_EQ(page.picture[0], 0xFF) << page.pageNo;
            EXPECT_EQ(page.picture[1], 0xD8) << page.pageNo;
        }
    }
}

TEST(BookPlanTest, AFolderWithoutABookIsAClearFailure) {
    EXPECT_THROW(PlanBook("/nonexistent"), BenchError);
}

} // namespace
} // namespace tavelio::bench
