#include "content/media_path.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(MediaPathTest, FullOrLocalInstallUsesTheWorkingDirectory) {
    EXPECT_EQ(MediaPath("D:\\Books", true, false, "A1Speach.wav"), ".\\A1Speach.wav");
    EXPECT_EQ(MediaPath("D:\\Books", false, true, "A1Speach.wav"), ".\\A1Speach.wav");
    EXPECT_EQ(MediaPath("D:\\Books", true, true, "cat.avi"), ".\\cat.avi");
}

TEST(MediaPathTest, OtherwiseFromPathIsJoinedAsItIs) {
    EXPECT_EQ(MediaPath(".", false, false, "A1Speach.wav"), ".\\A1Speach.wav");
    EXPECT_EQ(MediaPath("D:\\Books", false, false, "cat.avi"), "D:\\Books\\cat.avi");
    EXPECT_EQ(MediaPath("D:\\Books\\", false, false, "cat.avi"), "D:\\Books\\\\cat.avi");
    EXPECT_EQ(MediaPath("", false, false, "cat.avi"), "\\cat.avi");
}

} // namespace
} // namespace tavelio
