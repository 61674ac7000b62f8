#include "platform/controls/timer.h"

namespace tavelio {

Timer::Timer(QObject* form, const char* name, int intervalMs, Clock& clock,
             EventDispatcher& dispatcher)
    : QObject(form), clock_(clock), dispatcher_(dispatcher), intervalMs_(intervalMs) {
    setObjectName(name);
}

Timer::~Timer() {
    StopCountdown();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled_) {
        StartCountdown();
    } else {
        StopCountdown();
    }
}

void Timer::SetInterval(int intervalMs) {
    if (intervalMs == intervalMs_) {
        return;
    }
    intervalMs_ = intervalMs;
    if (enabled_) {
        StopCountdown();
        StartCountdown();
    }
}

void Timer::StartCountdown() {
    if (intervalMs_ > 0) {
        pendingTick_ = clock_.CallAfter(intervalMs_, [this] { Tick(); });
    }
}

void Timer::StopCountdown() {
    if (pendingTick_ != 0) {
        clock_.Cancel(pendingTick_);
        pendingTick_ = 0;
    }
}

void Timer::Tick() {
    // The next tick is due one interval after this one; the handler may stop the timer or set
    // a new interval, which replaces it.
    pendingTick_ = 0;
    StartCountdown();
    if (onTimer_) {
        dispatcher_.Run(onTimer_);
    }
}

nlohmann::json Timer::Describe() const {
    return {{"kind", "timer"}, {"enabled", enabled_}, {"interval", intervalMs_}};
}

} // namespace tavelio
