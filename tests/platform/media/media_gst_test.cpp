// The player on the GStreamer back end, playing small files for real through the silent audio
// output (the machines the tests run on have no sound card). These tests wait for real playback,
// so their files last 0.3 s at most.
#include "base/errors.h"
#include "platform/media/gst_media_backend.h"
#include "platform/media/media_player.h"
#include "platform/system/error_box_fakes.h"
#include "platform/system/real_clock.h"
#include "support/media_test_files.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace tavelio {
namespace {

using namespace testing_media;

class MediaGstTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir;
        WriteToneWav(Path("tone.wav"), 300, 16000);
        WriteText(Path("notes.txt"), "These are notes, not sound.\n");
        // Three MPEG transport stream packets: a format that no installed plugin demuxes.
        std::string packets;
        for (int i = 0; i < 200; ++i) {
            std::string packet(188, '\0');
            packet.replace(0, 4, "\x47\x1F\xFF\x10");
            packets += packet;
        }
        WriteText(Path("stream.ts"), packets);
        // A clip with its own sound, as animations may have.
        haveClip_ = GstLaunch("avimux name=mux ! filesink location=" + Path("clip.avi") +
                              " videotestsrc num-buffers=5 ! video/x-raw,width=64,height=48,"
                              "framerate=15/1 ! jpegenc ! mux. audiotestsrc num-buffers=5 "
                              "samplesperbuffer=1067 ! audio/x-raw,rate=16000,channels=1 ! mux.");
        WriteToneWav(Path("tone44.wav"), 250, 44100);
        haveMp3_ = RunTool("lame", "--quiet -b 64 " + Path("tone44.wav") + " " + Path("tone.mp3"));
        backends_ = new GstMediaBackendFactory(
            GstMediaOptions{GstMediaOptions::AudioOutput::Silent, std::chrono::seconds(5), {}});
    }

    static void TearDownTestSuite() {
        delete backends_;
        delete folder_;
    }

    static std::string Path(const std::string& name) {
        return folder_->filePath(QString::fromStdString(name)).toStdString();
    }

    void SetUp() override {
        player_ =
            std::make_unique<TMediaPlayer>(&form_, "AniPlay", *backends_, clock_, dispatcher_);
        player_->SetOnNotify([this] { ++notifications_; });
    }

    // Runs the event loop until done() holds or timeoutMs pass; true when done() held.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > timeoutMs) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
        return true;
    }

    static void RunFor(int ms) {
        RunUntil([] { return false; }, ms);
    }

    void Open(const std::string& name) {
        player_->SetFileName(Path(name));
        player_->Open();
    }

    std::string OpenError(const std::string& name) {
        try {
            Open(name);
        } catch (const EMCIDeviceError& error) {
            return error.what();
        }
        return "";
    }

    static inline QTemporaryDir* folder_ = nullptr;
    static inline GstMediaBackendFactory* backends_ = nullptr;
    static inline bool haveClip_ = false;
    static inline bool haveMp3_ = false;
    RealClock clock_;
    RecordingErrorBox box_;
    EventDispatcher dispatcher_{box_};
    QWidget form_;
    std::unique_ptr<TMediaPlayer> player_;
    int notifications_ = 0;
};

TEST_F(MediaGstTest, StretchPlaysForItsLengthAndNotifiesOnce) {
    Open("tone.wav");
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Length(), 300);
    player_->SetStartPosition(50);
    player_->SetEndPosition(200);
    QElapsedTimer timer;
    timer.start();
    player_->Play();
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kPlaying);
    ASSERT_TRUE(RunUntil([&] { return notifications_ > 0; }));
    EXPECT_GE(timer.elapsed(), 140);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Position(), 200);
    RunFor(150);
    EXPECT_EQ(notifications_, 1);
    EXPECT_EQ(player_->LastError(), "");
}

TEST_F(MediaGstTest, StopThenPlayGoesOnMidClip) {
    Open("tone.wav");
    player_->Play();
    RunFor(100);
    player_->Stop();
    const int stoppedAt = player_->Position();
    EXPECT_GT(stoppedAt, 30);
    EXPECT_LT(stoppedAt, 250);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 1; }));
    RunFor(50);
    EXPECT_EQ(player_->Position(), stoppedAt);

    QElapsedTimer timer;
    timer.start();
    player_->Play();
    EXPECT_GE(player_->Position(), stoppedAt);
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 2; }));
    EXPECT_GE(timer.elapsed(), 300 - stoppedAt - 30);
    EXPECT_EQ(player_->Position(), 300);
}

TEST_F(MediaGstTest, PlayOnAnEndedClipRestartsOnlyWithAutoRewind) {
    Open("tone.wav");
    player_->SetStartPosition(200);
    player_->Play();
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 1; }));
    ASSERT_EQ(player_->Position(), 300);

    player_->Play(); // without automatic rewind: nothing left to play
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 2; }));
    EXPECT_EQ(player_->Position(), 300);

    player_->SetAutoRewind(true);
    QElapsedTimer timer;
    timer.start();
    player_->Play();
    EXPECT_LT(player_->Position(), 100);
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 3; }));
    EXPECT_GE(timer.elapsed(), 270);
}

TEST_F(MediaGstTest, CloseDuringPlayNotifiesOnce) {
    Open("tone.wav");
    player_->Play();
    RunFor(50);
    player_->Close();
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kNotReady);
    RunFor(400);
    EXPECT_EQ(notifications_, 1);
}

TEST_F(MediaGstTest, FilesThatAreNotMediaFailToOpenWithTheirTexts) {
    EXPECT_EQ(OpenError("missing.wav"), CannotOpenMediaText(Path("missing.wav")));
    EXPECT_EQ(OpenError("notes.txt"), NotMediaText(Path("notes.txt")));
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kNotReady);
    const std::string missing = OpenError("stream.ts");
    EXPECT_NE(missing.find("Transport Stream demuxer"), std::string::npos) << missing;
    EXPECT_NE(missing.find("gstreamer1.0-plugins-bad"), std::string::npos) << missing;
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kNotReady);
}

TEST_F(MediaGstTest, FileNotReadyInTimeFailsToOpen) {
    GstMediaBackendFactory impatient(
        GstMediaOptions{GstMediaOptions::AudioOutput::Silent, std::chrono::milliseconds(0), {}});
    TMediaPlayer player(&form_, "TextSpeachPlay", impatient, clock_, dispatcher_);
    player.SetFileName(Path("tone.wav"));
    try {
        player.Open();
        FAIL() << "opened";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot play \"" + Path("tone.wav") + "\": it was not ready to play within 0 ms");
    }
    EXPECT_EQ(player.Mode(), TMediaPlayer::kNotReady);
}

TEST_F(MediaGstTest, ClipFramesReachTheDisplay) {
    ASSERT_TRUE(haveClip_);
    auto* display = new VideoDisplay(&form_, "AniShow");
    display->resize(315, 226);
    player_->SetDisplay(display);
    Open("clip.avi");
    EXPECT_GE(player_->Length(), 300);
    player_->Play();
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 1; }));
    RunFor(20);
    EXPECT_GE(display->FrameCount(), 3);
    EXPECT_EQ(display->Frame().size(), QSize(64, 48));
    // Painting fits the frame to the widget.
    const QImage shown = display->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(315, 226));

    // The last frame stays, colours right, once the file is closed and the player is gone: the
    // display holds the decoder's buffer itself. The clip shows colour bars; the sixth is red.
    player_.reset();
    const QColor red = display->grab().toImage().pixelColor(315 * 11 / 14, 20);
    EXPECT_GT(red.red(), 150);
    EXPECT_LT(red.green(), 60);
    EXPECT_LT(red.blue(), 60);
}

TEST_F(MediaGstTest, AFileOpenedAheadIsTakenWhileItIsTheSameFile) {
    // Opened ahead and left to get ready while the event loop runs, as the next page's clip is.
    player_->OpenAhead(Path("tone.wav"));
    RunFor(100);
    Open("tone.wav");
    EXPECT_EQ(player_->Length(), 300);
    player_->Play();
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 1; }));

    // A file that changed meanwhile is opened as it is now.
    WriteToneWav(Path("changing.wav"), 200, 16000);
    player_->OpenAhead(Path("changing.wav"));
    WriteToneWav(Path("changing.wav"), 400, 16000);
    Open("changing.wav");
    EXPECT_EQ(player_->Length(), 400);

    // Files that can't be played fail as they would have without.
    player_->OpenAhead(Path("notes.txt"));
    EXPECT_EQ(OpenError("notes.txt"), NotMediaText(Path("notes.txt")));
    player_->OpenAhead(Path("missing.wav"));
    EXPECT_EQ(OpenError("missing.wav"), CannotOpenMediaText(Path("missing.wav")));
}

TEST_F(MediaGstTest, Mp3StretchPlaysAndNotifiesOnce) {
    ASSERT_TRUE(haveMp3_);
    Open("tone.mp3");
    // The LAME header gives the content's length to the sample.
    EXPECT_EQ(player_->Length(), 250);
    player_->SetStartPosition(100);
    player_->SetEndPosition(150);
    player_->Play();
    ASSERT_TRUE(RunUntil([&] { return notifications_ == 1; }));
    EXPECT_EQ(player_->Position(), 150);
    RunFor(100);
    EXPECT_EQ(notifications_, 1);
}

} // namespace
} // namespace tavelio
