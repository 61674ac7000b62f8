// The player's rules on the simulated back end, in virtual time.
#include "base/errors.h"
#include "platform/media/media_backend.h"
#include "platform/media/media_player.h"
#include "platform/media/simulated_media_backend.h"
#include "support/form_services.h"
#include "support/media_test_files.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavelio {
namespace {

using testing_media::WriteAviHeaders;
using testing_media::WriteText;
using testing_media::WriteToneWav;

class MediaPlayerTest : public testing::Test, protected test::FormServices {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        wav_ = Path("Speach.wav");
        WriteToneWav(wav_, 4000, 8000);
        player_ = std::make_unique<TMediaPlayer>(&form_, "TextSpeachPlay", backends_, clock_,
                                                 dispatcher_);
        player_->SetOnNotify([this] { notifications_.push_back(clock_.NowMs()); });
    }

    std::string Path(const std::string& name) const {
        return folder_.filePath(QString::fromStdString(name)).toStdString();
    }

    void OpenWav() {
        player_->SetFileName(wav_);
        player_->Open();
    }

    void PlayStretch(int start, int end) {
        player_->SetStartPosition(start);
        player_->SetEndPosition(end);
        player_->Play();
    }

    // The text of the EMCIDeviceError that operation raises, or "" when it raises none.
    template <typename Operation> static std::string DeviceError(Operation operation) {
        try {
            operation();
        } catch (const EMCIDeviceError& error) {
            return error.what();
        }
        return "";
    }

    QTemporaryDir folder_;
    std::string wav_;
    SimulatedMediaBackendFactory backends_{clock_};
    QWidget form_;
    std::unique_ptr<TMediaPlayer> player_;
    std::vector<std::int64_t> notifications_; // virtual time of each notification
};

TEST_F(MediaPlayerTest, WithoutDeviceModeIsNotReadyAndPlayOrStopRaise) {
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kNotReady);
    EXPECT_EQ(DeviceError([&] { player_->Play(); }), "No MCI device open");
    EXPECT_EQ(DeviceError([&] { player_->Stop(); }), "No MCI device open");
    EXPECT_EQ(DeviceError([&] { player_->Close(); }), "");
    clock_.Advance(1000);
    EXPECT_TRUE(notifications_.empty());
}

TEST_F(MediaPlayerTest, FailedOpenRaisesTheBackEndTextAndLeavesNoDevice) {
    WriteText(Path("notes.txt"), "not a sound at all\n");
    const struct {
        std::string file;
        std::string text;
    } cases[] = {
        {Path("missing.wav"), CannotOpenMediaText(Path("missing.wav"))},
        {folder_.path().toStdString(), CannotOpenMediaText(folder_.path().toStdString())},
        {Path("notes.txt"), NotMediaText(Path("notes.txt"))},
    };
    for (const auto& c : cases) {
        OpenWav();
        player_->SetFileName(c.file);
        EXPECT_EQ(DeviceError([&] { player_->Open(); }), c.text) << c.file;
        EXPECT_EQ(player_->Mode(), TMediaPlayer::kNotReady);
        // A missing narration file reports once; every later Play reports the missing device.
        EXPECT_EQ(DeviceError([&] { player_->Play(); }), "No MCI device open");
    }
}

TEST_F(MediaPlayerTest, WindowsStyleNameIsFoundWhateverItsCase) {
    player_->SetFileName(folder_.path().toStdString() + "\\SPEACH.WAV");
    player_->Open();
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Length(), 4000);
}

TEST_F(MediaPlayerTest, StretchPlaysToItsEndAndNotifiesOnceThere) {
    OpenWav();
    PlayStretch(1000, 2500);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kPlaying);
    clock_.Advance(1499);
    EXPECT_EQ(player_->Position(), 2499);
    EXPECT_TRUE(notifications_.empty());
    clock_.Advance(1);
    EXPECT_EQ(notifications_, std::vector<std::int64_t>{1500});
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Position(), 2500);
    clock_.Advance(10000);
    EXPECT_EQ(notifications_.size(), 1u);
}

TEST_F(MediaPlayerTest, PendingPositionsServeOnePlay) {
    OpenWav();
    PlayStretch(1000, 2500);
    clock_.Advance(1500);
    // No positions now: from where the stretch ended to the end of the file.
    player_->Play();
    clock_.Advance(1499);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kPlaying);
    clock_.Advance(1);
    EXPECT_EQ(notifications_, (std::vector<std::int64_t>{1500, 3000}));
    EXPECT_EQ(player_->Position(), 4000);
    // Only an end position: from the current position to it.
    player_->SetStartPosition(0);
    player_->SetEndPosition(500);
    player_->Play();
    clock_.Advance(500);
    player_->SetEndPosition(800);
    player_->Play();
    clock_.Advance(300);
    EXPECT_EQ(notifications_, (std::vector<std::int64_t>{1500, 3000, 3500, 3800}));
}

TEST_F(MediaPlayerTest, StopHaltsSynchronouslyAndPlayGoesOnFromThere) {
    OpenWav();
    PlayStretch(0, 3000);
    clock_.Advance(1200);
    player_->Stop();
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Position(), 1200);
    // The stopped Play reports its end, but only after Stop has returned.
    EXPECT_TRUE(notifications_.empty());
    clock_.RunDue();
    EXPECT_EQ(notifications_, std::vector<std::int64_t>{1200});
    clock_.Advance(5000);
    EXPECT_EQ(player_->Position(), 1200);
    player_->Play();
    clock_.Advance(2799);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kPlaying);
    clock_.Advance(1);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->Position(), 4000);
    // Stop of a device that does not play changes nothing and notifies nothing.
    player_->Stop();
    clock_.RunDue();
    EXPECT_EQ(notifications_, (std::vector<std::int64_t>{1200, 9000}));
}

TEST_F(MediaPlayerTest, EveryWayAPlayEndsNotifiesItExactlyOnceAfterTheCall) {
    struct Case {
        const char* name;
        std::function<void(TMediaPlayer&)> cut;
    };
    const Case cases[] = {
        {"Stop", [](TMediaPlayer& p) { p.Stop(); }},
        {"Close", [](TMediaPlayer& p) { p.Close(); }},
        {"Open", [](TMediaPlayer& p) { p.Open(); }},
        {"Play", [](TMediaPlayer& p) { p.Play(); }},
    };
    for (const Case& c : cases) {
        notifications_.clear();
        OpenWav();
        PlayStretch(0, 1000);
        clock_.Advance(400);
        std::vector<std::int64_t> seenInCall;
        c.cut(*player_);
        seenInCall = notifications_;
        EXPECT_TRUE(seenInCall.empty()) << c.name;
        clock_.RunDue();
        EXPECT_EQ(notifications_.size(), 1u) << c.name;
        player_->Close();
        clock_.Advance(5000);
        // The superseding Play owes one of its own, which its Close pays.
        EXPECT_EQ(notifications_.size(), std::string(c.name) == "Play" ? 2u : 1u) << c.name;
    }
}

TEST_F(MediaPlayerTest, FailedOpenWhilePlayingStillNotifiesThePlay) {
    OpenWav();
    PlayStretch(0, 1000);
    player_->SetFileName(Path("gone.wav"));
    EXPECT_NE(DeviceError([&] { player_->Open(); }), "");
    clock_.Advance(2000);
    EXPECT_EQ(notifications_, std::vector<std::int64_t>{0});
}

TEST_F(MediaPlayerTest, AutoRewindRestartsAnEndedClipOnly) {
    OpenWav();
    player_->SetAutoRewind(true);
    player_->Play();
    clock_.Advance(4000);
    ASSERT_EQ(player_->Position(), 4000);
    player_->Play(); // ended: from the beginning again
    clock_.Advance(1000);
    EXPECT_EQ(player_->Position(), 1000);
    player_->Stop();
    player_->Play(); // stopped halfway: goes on
    clock_.Advance(3000);
    EXPECT_EQ(notifications_, (std::vector<std::int64_t>{4000, 5000, 8000}));

    // A pending position wins over the rewind.
    player_->SetEndPosition(4000);
    player_->Play();
    clock_.RunDue();
    EXPECT_EQ(notifications_.size(), 4u);
    EXPECT_EQ(player_->Position(), 4000);
}

TEST_F(MediaPlayerTest, WithoutAutoRewindAnEndedClipEndsAtOnce) {
    OpenWav();
    player_->Play();
    clock_.Advance(4000);
    player_->Play();
    EXPECT_TRUE(notifications_.size() == 1u);
    clock_.RunDue();
    EXPECT_EQ(notifications_, (std::vector<std::int64_t>{4000, 4000}));
    EXPECT_EQ(player_->Position(), 4000);
}

TEST_F(MediaPlayerTest, PositionsOutsideTheFileAreClampedAndABackwardStretchFails) {
    OpenWav();
    PlayStretch(-500, 99999);
    EXPECT_EQ(player_->Position(), 0);
    clock_.Advance(4000);
    EXPECT_EQ(notifications_, std::vector<std::int64_t>{4000});
    EXPECT_EQ(player_->LastError(), "");

    PlayStretch(3000, 2000);
    EXPECT_EQ(player_->Mode(), TMediaPlayer::kStopped);
    EXPECT_EQ(player_->LastError(), "The specified parameter is out of range");
    EXPECT_EQ(notifications_.size(), 1u);
    clock_.RunDue();
    EXPECT_EQ(notifications_.size(), 2u);
    EXPECT_TRUE(errorBox_.Texts().empty());
}

TEST_F(MediaPlayerTest, NotificationRunsThroughTheDispatcher) {
    OpenWav();
    player_->SetOnNotify([] { throw EMCIDeviceError("No MCI device open"); });
    PlayStretch(0, 10);
    clock_.Advance(10);
    EXPECT_EQ(errorBox_.Texts(), std::vector<std::string>{"No MCI device open."});
}

TEST_F(MediaPlayerTest, ReleasingThePlayerClosesItAndDropsItsNotifications) {
    OpenWav();
    PlayStretch(0, 1000);
    player_->Stop();
    player_->Play();
    player_.reset();
    clock_.Advance(5000);
    EXPECT_TRUE(notifications_.empty());
    EXPECT_EQ(clock_.NextDueMs(), -1);
}

TEST_F(MediaPlayerTest, DescribeTellsTheControlsState) {
    auto* display = new VideoDisplay(&form_, "AniShow");
    player_->SetDisplay(display);
    player_->SetBounds(616, 26, 29, 30);
    player_->SetVisible(false);
    player_->SetAutoRewind(true);
    const std::string avi = Path("Clip.avi");
    WriteAviHeaders(avi, 66666, 30);
    player_->SetFileName(avi);
    player_->Open();
    PlayStretch(100, 1500);
    clock_.Advance(250);
    const nlohmann::json described = player_->Describe();
    EXPECT_EQ(described["kind"], "mediaPlayer");
    EXPECT_EQ(described["mode"], 2);
    EXPECT_EQ(described["fileName"], avi);
    EXPECT_EQ(described["startPosition"], 100);
    EXPECT_EQ(described["endPosition"], 1500);
    EXPECT_EQ(described["autoRewind"], true);
    EXPECT_EQ(described["display"], "AniShow");
    EXPECT_EQ(described["position"], 350);
    EXPECT_EQ(described["length"], 1999);
    EXPECT_EQ(described["visible"], false);
    EXPECT_EQ(described["left"], 616);
    EXPECT_EQ(described["height"], 30);

    delete display; // a destroyed display reads as none
    EXPECT_TRUE(player_->Describe()["display"].is_null());
}

} // namespace
} // namespace tavelio
