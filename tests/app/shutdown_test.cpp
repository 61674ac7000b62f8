#include "app/program_fixture.h"
#include "platform/system/font_installer_fakes.h"

#include <filesystem>

namespace tavelio::test {
namespace {

class ShutdownTest : public ProgramFixture {
protected:
    void SetUp() override {
        StartProgram();
        clock_.Advance(4000); // the splash has come and gone
        fontFile_ = program().ProgramSettings().FontFile;
        ASSERT_TRUE(std::filesystem::exists(fontFile_));
        program().SetOnEnded([this] { ++endings_; });
    }

    void OpenBook() {
        launch().QVA->DeliverClick();
        launch().Ann->DeliverClick();
        clock_.RunDue();
        ASSERT_EQ(program().ActiveFormNow(), program().ViewBook());
    }

    // The font was added once at start-up and removed once, and its file is gone.
    void ExpectFontRemovedOnce() {
        using Call = RecordingFontInstaller::Call;
        EXPECT_EQ(fonts_.Calls(), (std::vector<std::pair<Call, std::string>>{
                                      {Call::Add, fontFile_}, {Call::Remove, fontFile_}}));
        EXPECT_FALSE(std::filesystem::exists(fontFile_));
    }

    std::string fontFile_;
    int endings_ = 0;
};

TEST_F(ShutdownTest, ClosingTheLaunchPadEndsTheProgram) {
    QPointer<TMediaPlayer> narration = program().ViewBook()->TextSpeachPlay;
    launch().DeliverClose();
    EXPECT_TRUE(program().Ended());
    EXPECT_EQ(endings_, 1);
    EXPECT_EQ(narration, nullptr);
    ExpectFontRemovedOnce();
    EXPECT_FALSE(launch().isVisible());
    // The viewer is released as a queued event.
    ASSERT_NE(program().ViewBook(), nullptr);
    clock_.RunDue();
    EXPECT_EQ(program().ViewBook(), nullptr);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ShutdownTest, ClosingTheViewerShutsDownThroughTheLaunchPad) {
    OpenBook();
    QPointer<TViewBook> viewer = program().ViewBook();
    viewer->DeliverClose();
    EXPECT_TRUE(program().Ended());
    EXPECT_EQ(endings_, 1);
    EXPECT_EQ(viewer->TextSpeachPlay, nullptr);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_FALSE(launch().isVisible());
    ExpectFontRemovedOnce();
    clock_.RunDue();
    EXPECT_EQ(viewer, nullptr);
    // Nothing can be closed twice: every window is gone from the screen.
    launch().DeliverClose();
    ExpectFontRemovedOnce();
    EXPECT_EQ(endings_, 1);
}

TEST_F(ShutdownTest, ClosingTheLaunchPadWhileItIsHiddenIsNotPossible) {
    OpenBook();
    launch().DeliverClose();
    EXPECT_FALSE(program().Ended());
    EXPECT_EQ(fonts_.Calls().size(), 1u);
}

TEST_F(ShutdownTest, AFontFileThatCannotBeDeletedIsIgnored) {
    std::filesystem::remove(fontFile_);
    launch().DeliverClose();
    EXPECT_TRUE(program().Ended());
    EXPECT_TRUE(Errors().empty());
}

using ShutdownBeforeStartUp = ProgramFixture;

TEST_F(ShutdownBeforeStartUp, ClosingBeforeTheFirstActivationEndsWithoutStartUp) {
    StartProgram(false);
    program().Start();
    launch().DeliverClose();
    EXPECT_TRUE(program().Ended());
    clock_.RunDue();
    EXPECT_FALSE(program().ProgramSettings().LaunchActivated);
    EXPECT_EQ(program().Splash(), nullptr);
}

} // namespace
} // namespace tavelio::test
