// Narration and animation on the viewer: the clip's repeat loop and what stops it, the two
// switches, the ruled lines under a tall clip with the arrow following them, the narration file
// the settings choose, and files that can't be opened.
#include "book_fixture.h"
#include "viewer/animation.h"
#include "viewer/narration.h"
#include "viewer/page_script.h"

namespace tavelio::test {
namespace {

constexpr int kClipPage = 3;  // Clip.avi, 315 x 225, 2 s
constexpr int kTallPage = 4;  // Tall.avi, 315 x 300, 3 s
constexpr int kPlainPage = 5; // no clip

class NarrationAnimationTest : public BookFixture {
protected:
    NarrationAnimationTest() {
        BookPage(kClipPage).AniFile = "Clip.avi";
        BookPage(kClipPage).PageKind = 2;
        BookPage(kTallPage).AniFile = "Tall.avi";
        BookPage(kTallPage).MediaHeight = 300;
        BookPage(kTallPage).PageKind = 3;
        OpenSpeechFile(viewer_);
    }

    // The media steps of a page change: stop, load, the clip or picture, the narration.
    void TurnTo(int pageNo) {
        StopAllMedia(viewer_);
        Load(pageNo);
        ShowPageAnimation(viewer_);
        PlayPageSpeech(viewer_);
        clock_.RunDue();
    }

    std::uint8_t ClipMode() { return view_.AniPlay->Mode(); }
    std::uint8_t NarrationMode() { return view_.TextSpeachPlay->Mode(); }
};

TEST_F(NarrationAnimationTest, AClipRepeatsHalfASecondAfterEachRun) {
    TurnTo(kClipPage);
    const VideoDisplay& show = *view_.AniShow;
    EXPECT_TRUE(show.OwnVisible());
    EXPECT_TRUE(show.OwnEnabled());
    EXPECT_EQ(QSize(show.Width(), show.Height()), QSize(315, 225));
    EXPECT_FALSE(view_.BackGround->OwnVisible());
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
    for (int run = 0; run < 2; ++run) {
        Advance(2000);
        EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
        Advance(499);
        EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
        Advance(1);
        EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
    }
    EXPECT_EQ(NarrationMode(), TMediaPlayer::kStopped) << "the page's 4 s of narration ended";
}

TEST_F(NarrationAnimationTest, NarrationOffWhileTheClipPlaysLeavesTheClipPlaying) {
    TurnTo(kClipPage);
    Advance(500);
    ToggleNarration(viewer_);
    EXPECT_FALSE(settings_.SoundOn);
    EXPECT_EQ(view_.NarrationBit->Layout(), ButtonLayout::blGlyphRight);
    EXPECT_EQ(NarrationMode(), TMediaPlayer::kNotReady) << "the narration file is closed";
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
    EXPECT_EQ(view_.AniPlay->Position(), 500);
    EXPECT_TRUE(viewer_.AniWasPlaying);
    EXPECT_TRUE(viewer_.MediaStoppedFlag);
    clock_.RunDue();
    Advance(500); // the stop's own notification brings no repeat
    EXPECT_FALSE(viewer_.MediaStoppedFlag);
    Advance(1000); // the clip's end still does
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
    Advance(500);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
}

TEST_F(NarrationAnimationTest, NarrationOffWhileTheClipRestsEndsItsRepeats) {
    TurnTo(kClipPage);
    Advance(2200);
    ToggleNarration(viewer_);
    EXPECT_FALSE(viewer_.AniWasPlaying);
    EXPECT_TRUE(viewer_.MediaStoppedFlag);
    Advance(300);
    EXPECT_FALSE(viewer_.MediaStoppedFlag);
    Advance(10000);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
}

TEST_F(NarrationAnimationTest, AnimationsOffDuringATallClipPutsThePagePictureAndLinesBack) {
    TurnTo(kTallPage);
    EXPECT_EQ(view_.Text1->Top(), 327);
    EXPECT_EQ(view_.SolidLine6->Top(), 507);
    Advance(1000);
    ToggleAnimation(viewer_);
    EXPECT_FALSE(settings_.AniOn);
    EXPECT_EQ(view_.AniBit->Layout(), ButtonLayout::blGlyphRight);
    EXPECT_TRUE(view_.AniBit->OwnEnabled());
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
    EXPECT_FALSE(view_.AniShow->OwnVisible());
    EXPECT_FALSE(view_.AniShow->OwnEnabled());
    EXPECT_TRUE(view_.BackGround->OwnVisible());
    EXPECT_EQ(view_.Text1->Top(), 252);
    EXPECT_EQ(view_.SolidLine6->Top(), 432);
    Advance(5000);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped) << "no repeat";
    ToggleAnimation(viewer_);
    EXPECT_EQ(view_.AniBit->Layout(), ButtonLayout::blGlyphLeft);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
    EXPECT_EQ(view_.AniPlay->Position(), 0) << "switched on, the clip starts again";
    EXPECT_EQ(view_.Text1->Top(), 327);
}

TEST_F(NarrationAnimationTest, TheArrowFollowsTheRuledLinesUnderATallClip) {
    BookPage(kTallPage).ScriptText = "3~100~1~200~100~3~300~100~";
    TurnTo(kTallPage);
    StartPageScript(viewer_);
    Advance(100);
    EXPECT_EQ(view_.UpArrow->Top(), 327 + 48 + 1);
    Advance(100);
    EXPECT_EQ(view_.UpArrow->Top(), 507 + 1);
}

TEST_F(NarrationAnimationTest, ARestingClipWhosePageIsLeftRepeatsNoMore) {
    TurnTo(kClipPage);
    Advance(4600); // the narration has ended; the clip rests after its second run, until 5000
    TurnTo(kPlainPage);
    EXPECT_FALSE(view_.AniShow->OwnVisible());
    Advance(400);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
    EXPECT_FALSE(view_.AniTime->Enabled());
}

TEST_F(NarrationAnimationTest, ARepeatDueWhenTheNextClipStartsLeavesThatClipAlone) {
    TurnTo(kClipPage);
    Advance(1000);
    TurnTo(kTallPage); // the first clip's stop leads to a tick 500 ms later
    EXPECT_TRUE(view_.AniTime->Enabled());
    Advance(500);
    EXPECT_FALSE(view_.AniTime->Enabled()) << "no Play cut in, so no notification followed";
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
    Advance(2500); // the tall clip's own end, and its repeat
    EXPECT_EQ(ClipMode(), TMediaPlayer::kStopped);
    Advance(500);
    EXPECT_EQ(ClipMode(), TMediaPlayer::kPlaying);
}

TEST_F(NarrationAnimationTest, NarrationFileFollowsTheSettings) {
    testing_media::WriteMp3Headers("A1Speach.mp3", 2000, 576, 1000, 2000);
    settings_.UseMP3 = true;
    OpenSpeechFile(viewer_);
    EXPECT_EQ(view_.TextSpeachPlay->FileName(), ".\\A1Speach.mp3");
    EXPECT_EQ(NarrationMode(), TMediaPlayer::kStopped);

    settings_.UseMP3 = false;
    settings_.FromPath = "D:\\Media";
    EXPECT_THROW(OpenSpeechFile(viewer_), EMCIDeviceError);
    EXPECT_EQ(view_.TextSpeachPlay->FileName(), "D:\\Media\\A1Speach.wav");

    settings_.SoundInst = true;
    OpenSpeechFile(viewer_);
    EXPECT_EQ(view_.TextSpeachPlay->FileName(), ".\\A1Speach.wav");

    settings_.SoundOn = false;
    BookPage(0).BookNo = 2;
    OpenSpeechFile(viewer_);
    EXPECT_EQ(view_.TextSpeachPlay->FileName(), ".\\A1Speach.wav") << "narration off opens nothing";
    settings_.SoundOn = true;
    EXPECT_THROW(OpenSpeechFile(viewer_), EMCIDeviceError);
    EXPECT_EQ(view_.TextSpeachPlay->FileName(), ".\\.wav") << "only book 1 has a file of its name";
}

TEST_F(NarrationAnimationTest, AMissingNarrationFileReportsOnceThenOnEveryPage) {
    std::filesystem::remove("A1Speach.wav");
    AsEvent(OpenSpeechFile);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("A1Speach.wav"), std::string::npos) << Errors()[0];
    for (int pageNo : {1, 2}) {
        Load(pageNo);
        AsEvent(PlayPageSpeech);
    }
    EXPECT_EQ(Errors().size(), 3u);
    EXPECT_EQ(Errors().back(), "No MCI device open.");
    ToggleNarration(viewer_); // off: nothing more to report
    Load(3);
    AsEvent(PlayPageSpeech);
    EXPECT_EQ(Errors().size(), 3u);
}

TEST_F(NarrationAnimationTest, AMissingClipLeavesAnEmptyDisabledWindowAtItsSize) {
    TurnTo(kClipPage);
    Advance(4600); // the narration has ended, the clip rests after its second run
    BookPage(kTallPage).AniFile = "Gone.avi";
    StopAllMedia(viewer_);
    Load(kTallPage);
    AsEvent(ShowPageAnimation);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("Gone.avi"), std::string::npos) << Errors()[0];
    const VideoDisplay& show = *view_.AniShow;
    EXPECT_TRUE(show.OwnVisible());
    EXPECT_FALSE(show.OwnEnabled());
    EXPECT_EQ(QSize(show.Width(), show.Height()), QSize(315, 300));
    EXPECT_TRUE(show.Frame().isNull());
    EXPECT_FALSE(view_.BackGround->OwnVisible());
    Advance(5000);
    EXPECT_EQ(Errors().size(), 1u) << "the rest's repeat finds no clip and plays nothing";
}

} // namespace
} // namespace tavelio::test
