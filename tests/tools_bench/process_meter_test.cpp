#include "bench/child_process.h"
#include "bench/process_meter.h"

#include <gtest/gtest.h>

namespace tavelio::bench {
namespace {

using std::chrono::milliseconds;

double WakeupsOf(const std::string& script) {
    ChildProcess child({{"/bin/sh", "-c", script}, "/", "", {}, false});
    child.WaitFor("ready", "", milliseconds(5000));
    child.DrainFor(milliseconds(100)); // for the script to reach its loop or its wait
    return WatchProcess(child.Pid(), milliseconds(500)).wakeups;
}

TEST(ProcessMeterTest, CountsTheWakeUpsOfABusyProgramAndNoneOfOneAsleep) {
    // The shell starts a sleep every 20 ms and waits for it: each wait is a sleep of its own.
    EXPECT_GT(WakeupsOf("echo 1 ready >&$TAVELIO_BENCH_STAMP_FD; "
                        "while true; do sleep 0.02; done"),
              10);
    EXPECT_EQ(WakeupsOf("echo 1 ready >&$TAVELIO_BENCH_STAMP_FD; "
                        "read -r never <&$TAVELIO_BENCH_COMMAND_FD"),
              0);
}

} // namespace
} // namespace tavelio::bench
