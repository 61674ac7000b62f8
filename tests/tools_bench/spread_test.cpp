#include "bench/spread.h"

#include <gtest/gtest.h>

namespace tavelio::bench {
namespace {

TEST(SpreadTest, MedianOfOddAndEvenCountsAndExtremes) {
    const Spread odd = SpreadOf({5, 1, 3});
    EXPECT_EQ(odd.median, 3);
    EXPECT_EQ(odd.min, 1);
    EXPECT_EQ(odd.max, 5);
    EXPECT_EQ(SpreadOf({4, 1, 2, 8}).median, 3);
    EXPECT_EQ(SpreadOf({}).median, 0);
}

} // namespace
} // namespace tavelio::bench
