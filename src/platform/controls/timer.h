// A form's timer. It fires every Interval milliseconds while enabled, each tick entering its
// handler through the event dispatcher. Enabling an enabled timer, or giving it the interval it
// already has, changes nothing; a new interval on an enabled timer starts the countdown again from
// that moment; an interval of 0 or less never fires, though the timer stays enabled. The timer is
// a child of its form (found by objectName) and runs on the clock it is given, which, like the
// dispatcher, must outlive it.
#pragma once

#include "platform/controls/control.h"
#include "platform/system/clock.h"
#include "platform/system/event_dispatcher.h"

#include <QObject>
#include <functional>

namespace tavelio {

class Timer final : public QObject, public Control {
public:
    Timer(QObject* form, const char* name, int intervalMs, Clock& clock,
          EventDispatcher& dispatcher);
    ~Timer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return intervalMs_; }
    void SetInterval(int intervalMs);

    // The handler (for example CoverTimedTimer) runs on every tick.
    void SetOnTimer(std::function<void()> onTimer) { onTimer_ = std::move(onTimer); }

    nlohmann::json Describe() const override;

private:
    void StartCountdown();
    void StopCountdown();
    void Tick();

    Clock& clock_;
    EventDispatcher& dispatcher_;
    std::function<void()> onTimer_;
    int intervalMs_;
    bool enabled_ = false;
    Clock::Ticket pendingTick_ = 0;
};

} // namespace tavelio
