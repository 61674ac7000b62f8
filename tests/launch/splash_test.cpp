#include "app/program_fixture.h"

namespace tavelio::test {
namespace {

using SplashTest = ProgramFixture;

TEST_F(SplashTest, IsAFramelessDisabledWindowOnTopWithTheHourglass) {
    StartProgram();
    TSplash* splash = program().Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(splash->OwnEnabled());
    EXPECT_EQ(splash->Describe()["cursor"], "hourglass");
    EXPECT_EQ(splash->parentWidget(), &launch());
    // A disabled window never becomes the active form.
    EXPECT_EQ(program().ActiveFormNow(), &launch());
    EXPECT_EQ(splash->SplashFront->Picture().size(), QSize(354, 354));
    EXPECT_EQ(splash->SplashBack->Picture().size(), QSize(80, 60));
}

TEST_F(SplashTest, HidesAfter3000AndIsReleasedAfter4000) {
    StartProgram();
    QPointer<TSplash> splash = program().Splash();
    clock_.Advance(2999);
    EXPECT_TRUE(splash->isVisible());
    clock_.Advance(1);
    ASSERT_NE(splash, nullptr);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->CloseTime->Enabled());
    clock_.Advance(999);
    EXPECT_NE(splash, nullptr);
    clock_.Advance(1);
    EXPECT_EQ(splash, nullptr);
    EXPECT_EQ(program().Splash(), nullptr);
    EXPECT_FALSE(launch().SplashTime->Enabled());
    clock_.Advance(20000);
    EXPECT_TRUE(Errors().empty());
}

// A clock in front of the virtual one that delays every call asked for with one delay by a given
// extra time: the splash's CloseTime then falls due after SplashTime, as when start-up took long
// between switching on SplashTime and making the splash.
class DelayingClock final : public Clock {
public:
    DelayingClock(VirtualClock& inner, std::int64_t delayed, std::int64_t extra)
        : inner_(inner), delayed_(delayed), extra_(extra) {}
    std::int64_t NowMs() const override { return inner_.NowMs(); }
    Ticket CallAfter(std::int64_t delayMs, Callback callback) override {
        return inner_.CallAfter(delayMs == delayed_ ? delayMs + extra_ : delayMs,
                                std::move(callback));
    }
    void Cancel(Ticket ticket) override { inner_.Cancel(ticket); }

private:
    VirtualClock& inner_;
    std::int64_t delayed_;
    std::int64_t extra_;
};

TEST_F(SplashTest, ReleasedBeforeItsOwnTimerFiresEndsTheSame) {
    DelayingClock delaying(clock_, 3000, 1500);
    programClock_ = &delaying;
    StartProgram();
    QPointer<TSplash> splash = program().Splash();
    clock_.Advance(4000);
    EXPECT_EQ(splash, nullptr);
    clock_.Advance(10000); // CloseTime went with the splash
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(clock_.NextDueMs(), -1);
    program_.reset(); // before the clock in front goes
}

struct ScreenCase {
    int width;
    int height;
    int frontLeft;
    int frontTop;
};

class SplashCentringTest : public ProgramFixture,
                           public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(SplashCentringTest, CoversTheScreenWithTheTitleInTheMiddle) {
    const ScreenCase& screen = GetParam();
    SetScreen(screen.width, screen.height);
    StartProgram();
    TSplash* splash = program().Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(QRect(splash->Left(), splash->Top(), splash->Width(), splash->Height()),
              QRect(0, 0, screen.width, screen.height));
    EXPECT_EQ(splash->ClientWidth(), screen.width);
    EXPECT_EQ(splash->ClientHeight(), screen.height);
    EXPECT_TRUE(splash->SplashBack->OwnVisible());
    EXPECT_EQ(splash->SplashBack->geometry(), QRect(0, 0, screen.width, screen.height));
    EXPECT_EQ(splash->SplashFront->geometry(), QRect(screen.frontLeft, screen.frontTop, 354, 354));
}

INSTANTIATE_TEST_SUITE_P(Screens, SplashCentringTest,
                         ::testing::Values(ScreenCase{800, 600, 223, 123},
                                           ScreenCase{1024, 768, 335, 207},
                                           // odd differences: the spare pixel right and below
                                           ScreenCase{801, 601, 223, 123},
                                           ScreenCase{1366, 769, 506, 207},
                                           // smaller than the picture: halves toward zero
                                           ScreenCase{300, 201, -27, -76}));

TEST_F(SplashTest, KeysAndClicksDoNothingToIt) {
    StartProgram();
    TSplash* splash = program().Splash();
    const nlohmann::json before = splash->Describe();
    splash->DeliverKeyDown(27);
    splash->DeliverChar('a');
    splash->DeliverClose();
    splash->SplashFront->DeliverClick();
    EXPECT_EQ(splash->Describe(), before);
    EXPECT_TRUE(splash->isVisible());
}

} // namespace
} // namespace tavelio::test
