#include "bench/report.h"

#include <gtest/gtest.h>

namespace tavelio::bench {
namespace {

RunFigures FiguresOfRun(double splashMs, double bareMs, double turnMs, double decodeMs) {
    RunFigures run;
    run.splashFirstFrameMs = splashMs;
    run.bareFirstFrameMs = bareMs;
    run.turns = {{1, "Left", turnMs, decodeMs}, {9, "Right", 3, 0}};
    run.readerPeakKiB = 300;
    run.barePeakKiB = 100;
    run.idle.wakeups = 0;
    run.clip.cpuPercent = 2;
    return run;
}

TEST(ReportTest, RatiosAreTakenWithinEachRunAndHeldAgainstTheBudgets) {
    // Run by run the start ratios are 1.0, 2.0 and 1.2, their median 1.2; the medians of the two
    // programs' times (30 ms over 20 ms) would give 1.5.
    const auto report = Report({FiguresOfRun(10, 10, 1, 0.5), FiguresOfRun(40, 20, 2, 0.5),
                                FiguresOfRun(30, 25, 1.5, 0.5)},
                               {});
    EXPECT_DOUBLE_EQ(report["start"]["ratio"]["median"].get<double>(), 1.2);
    EXPECT_TRUE(report["start"]["met"].get<bool>());
    EXPECT_FALSE(report["memory"]["met"].get<bool>()); // 3x against 2x
    EXPECT_TRUE(report["idle"]["met"].get<bool>());
    EXPECT_TRUE(report["clip"]["met"].get<bool>());

    const auto& turn = report["page_turn"];
    EXPECT_EQ(turn["pages"].size(), 2u);
    EXPECT_DOUBLE_EQ(turn["pages"][0]["ratio"]["median"].get<double>(), 3);
    EXPECT_FALSE(turn["pages"][1].contains("ratio")); // a page without a JPEG has no yardstick
    EXPECT_DOUBLE_EQ(turn["worst_page_median_ms"].get<double>(), 3);
    EXPECT_TRUE(turn["met"].get<bool>()); // 3x is within the budget, 3 ms within 16 ms
}

} // namespace
} // namespace tavelio::bench
