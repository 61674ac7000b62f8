#include "base/native_path.h"
#include "support/scratch_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

using test::ScratchDir;

class ResolveNativePathTest : public ::testing::Test {
protected:
    ResolveNativePathTest() {
        std::filesystem::create_directories(dir_.Root() / "Media" / "Clips");
        test::WriteFile(dir_.Path("Media/A1Speach.WAV"), "wav");
        test::WriteFile(dir_.Path("Media/Clips/Cat.avi"), "avi");
    }
    std::string Root() const { return dir_.Root().string(); }
    ScratchDir dir_;
};

TEST_F(ResolveNativePathTest, BackslashesBecomeSlashes) {
    EXPECT_EQ(ResolveNativePath(Root() + "\\Media\\A1Speach.WAV"), Root() + "/Media/A1Speach.WAV");
}

TEST_F(ResolveNativePathTest, NamesDifferingOnlyInCaseAreFound) {
    EXPECT_EQ(ResolveNativePath(Root() + "\\media\\a1speach.wav"), Root() + "/Media/A1Speach.WAV");
    EXPECT_EQ(ResolveNativePath(Root() + "/MEDIA/clips/CAT.AVI"), Root() + "/Media/Clips/Cat.avi");
}

TEST_F(ResolveNativePathTest, TheExactSpellingWinsOverOtherCases) {
    test::WriteFile(dir_.Path("Media/a1speach.wav"), "other");
    EXPECT_EQ(ResolveNativePath(Root() + "\\Media\\a1speach.wav"), Root() + "/Media/a1speach.wav");
    EXPECT_EQ(ResolveNativePath(Root() + "\\Media\\A1Speach.WAV"), Root() + "/Media/A1Speach.WAV");
}

TEST_F(ResolveNativePathTest, SeveralCaseMatchesGiveTheFirstInByteOrder) {
    test::WriteFile(dir_.Path("Media/a1speach.WAV"), "other");
    EXPECT_EQ(ResolveNativePath(Root() + "\\Media\\A1SPEACH.wav"), Root() + "/Media/A1Speach.WAV");
}

TEST_F(ResolveNativePathTest, AMissingNameStaysAsWritten) {
    EXPECT_EQ(ResolveNativePath(Root() + "\\Nowhere\\media\\x.wav"),
              Root() + "/Nowhere/media/x.wav");
    EXPECT_EQ(ResolveNativePath(Root() + "\\media\\Dog.avi"), Root() + "/Media/Dog.avi");
}

TEST_F(ResolveNativePathTest, DoubledSeparatorsAndDotsAreKept) {
    EXPECT_EQ(ResolveNativePath(Root() + "\\media\\\\a1speach.wav"),
              Root() + "/Media//A1Speach.WAV");
    EXPECT_EQ(ResolveNativePath(Root() + "\\media\\.\\..\\media\\a1speach.wav"),
              Root() + "/Media/./../Media/A1Speach.WAV");
}

TEST_F(ResolveNativePathTest, ARelativeNameIsLookedUpInTheWorkingDirectory) {
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Root() / "Media");
    const std::string resolved = ResolveNativePath(".\\a1speach.wav");
    std::filesystem::current_path(saved);
    EXPECT_EQ(resolved, "./A1Speach.WAV");
}

} // namespace
} // namespace tavelio
