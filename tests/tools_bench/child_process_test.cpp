#include "bench/child_process.h"

#include <gtest/gtest.h>

namespace tavelio::bench {
namespace {

using std::chrono::milliseconds;

// A stand-in for a program under the probe: a shell that writes the given stamps to the probe's
// stamp pipe, then echoes the commands it reads there until told to close.
ChildSetup Script(const std::string& stamps) {
    const std::string script =
        "printf '" + stamps +
        "' >&$TAVELIO_BENCH_STAMP_FD; while read -r command "
        "<&$TAVELIO_BENCH_COMMAND_FD; do [ \"$command\" = close ] && exit 0; "
        "echo \"7 said $command\" >&$TAVELIO_BENCH_STAMP_FD; done";
    return {{"/bin/sh", "-c", script}, "/", "", {}, false};
}

TEST(ChildProcessTest, FindsStampsByWordAndArgumentStartAndTalksBack) {
    ChildProcess child(Script("1 frame Launch\\n2 frame Splash\\n3 settled Splash 1\\n"));
    const Stamp frame = child.WaitFor("frame", "Splash", milliseconds(5000));
    EXPECT_EQ(frame.ns, 2);
    EXPECT_EQ(child.WaitFor("settled", "Splash", milliseconds(5000)).argument, "Splash 1");
    child.Send("key Right");
    EXPECT_EQ(child.WaitFor("said", "", milliseconds(5000)).argument, "key Right");
    child.Send("close");
    EXPECT_GT(child.WaitForExit(milliseconds(5000)), 0); // its peak memory, in KiB
}

TEST(ChildProcessTest, RaisesWhenAStampDoesNotComeOrTheProgramEnds) {
    ChildProcess waiting(Script("1 frame Launch\\n"));
    EXPECT_THROW(waiting.WaitFor("frame", "Splash", milliseconds(100)), BenchError);
    ChildProcess ended({{"/bin/true"}, "/", "", {}, false});
    EXPECT_THROW(ended.WaitFor("frame", "", milliseconds(5000)), BenchError);
    EXPECT_THROW(ChildProcess({{"/bin/sh", "-c", "sleep 5"}, "/", "", {}, false})
                     .WaitForExit(milliseconds(50)),
                 BenchError);
}

} // namespace
} // namespace tavelio::bench
