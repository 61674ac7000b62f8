#include "base/errors.h"
#include "platform/controls/timer.h"
#include "support/form_services.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavelio {
namespace {

class TimerTest : public testing::Test, protected test::FormServices {
protected:
    // Each timer records "<name>@<time>" on every tick.
    Timer& MakeTimer(const char* name, int intervalMs) {
        auto* timer = new Timer(&form_, name, intervalMs, clock_, dispatcher_);
        timer->SetOnTimer([this, name] {
            ticks_.push_back(std::string(name) + "@" + std::to_string(clock_.NowMs()));
        });
        return *timer;
    }

    QObject form_;
    std::vector<std::string> ticks_;
};

TEST_F(TimerTest, FiresEveryIntervalUntilDisabledInDueOrder) {
    Timer& splash = MakeTimer("SplashTime", 4000);
    Timer& close = MakeTimer("CloseTime", 3000);
    splash.SetEnabled(true);
    close.SetEnabled(true);
    clock_.Advance(6500);
    EXPECT_EQ(ticks_,
              (std::vector<std::string>{"CloseTime@3000", "SplashTime@4000", "CloseTime@6000"}));
    close.SetEnabled(false);
    splash.SetEnabled(false);
    clock_.Advance(10000);
    EXPECT_EQ(ticks_.size(), 3u);
}

TEST_F(TimerTest, EnablingAgainOrSameIntervalKeepsTheCountdown) {
    Timer& timer = MakeTimer("CoverTimed", 3500);
    timer.SetEnabled(true);
    clock_.Advance(2000);
    timer.SetEnabled(true);
    timer.SetInterval(3500);
    clock_.Advance(1500);
    EXPECT_EQ(ticks_, std::vector<std::string>{"CoverTimed@3500"});
}

TEST_F(TimerTest, NewIntervalOnEnabledTimerRestartsFromNow) {
    Timer& timer = MakeTimer("ReadBook", 1000);
    timer.SetEnabled(true);
    clock_.Advance(900);
    timer.SetInterval(500);
    clock_.Advance(1000);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"ReadBook@1400", "ReadBook@1900"}));
}

TEST_F(TimerTest, HandlerSettingIntervalSetsDelayToNextTick) {
    Timer& timer = MakeTimer("Arrows", 1000);
    timer.SetOnTimer([&] {
        ticks_.push_back(std::to_string(clock_.NowMs()));
        timer.SetInterval(timer.Interval() + 500);
    });
    timer.SetEnabled(true);
    clock_.Advance(5000);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"1000", "2500", "4500"}));
}

TEST_F(TimerTest, ZeroOrNegativeIntervalNeverFiresButStaysEnabled) {
    for (int interval : {0, -250}) {
        Timer& timer = MakeTimer("ShowRhyme", interval);
        timer.SetEnabled(true);
        clock_.Advance(100000);
        EXPECT_TRUE(timer.Enabled());
        timer.SetInterval(300);
        clock_.Advance(300);
        timer.SetEnabled(false);
    }
    EXPECT_EQ(ticks_, (std::vector<std::string>{"ShowRhyme@100300", "ShowRhyme@200600"}));
}

TEST_F(TimerTest, ErrorInHandlerIsShownAndTimerGoesOn) {
    Timer& timer = MakeTimer("AniTime", 500);
    timer.SetOnTimer([] { throw EInOutError(2); });
    timer.SetEnabled(true);
    clock_.Advance(1000);
    EXPECT_EQ(errorBox_.Texts(), (std::vector<std::string>{"File not found.", "File not found."}));
}

TEST_F(TimerTest, DisabledInsideItsOwnTickFiresOnce) {
    Timer& timer = MakeTimer("SplashTime", 4000);
    timer.SetOnTimer([&] {
        ticks_.push_back("tick");
        timer.SetEnabled(false);
    });
    timer.SetEnabled(true);
    clock_.Advance(20000);
    EXPECT_EQ(ticks_, std::vector<std::string>{"tick"});
}

} // namespace
} // namespace tavelio
