// The source of time for everything in the program that waits: timers, the splash's delays and
// media playback. The running program uses the event loop's clock; tests and the scenario runner
// use a virtual one that they advance by hand, so that seconds of timers run in microseconds.
#pragma once

#include <cstdint>
#include <functional>

namespace tavelio {

class Clock {
public:
    using Callback = std::function<void()>;
    using Ticket = std::uint64_t;

    virtual ~Clock() = default;

    // Milliseconds on a monotonic scale; only differences mean anything.
    virtual std::int64_t NowMs() const = 0;

    // Runs callback once, on the user-interface thread, when delayMs have passed; 0 means as soon
    // as the current handler has returned (a queued event). Callbacks that fall due together run
    // in the order they were scheduled. The returned ticket is never 0.
    virtual Ticket CallAfter(std::int64_t delayMs, Callback callback) = 0;

    // Forgets a scheduled call that has not run yet; an unknown or spent ticket is ignored.
    virtual void Cancel(Ticket ticket) = 0;
};

} // namespace tavelio
