// A clock that stands still until told to advance. Advance runs every call that falls due, in
// order of due time and then of scheduling, each with NowMs() at its own due time; calls that a
// running callback schedules take part in the same advance when they fall due within it.
#pragma once

#include "platform/system/clock.h"

#include <map>
#include <utility>

namespace tavelio {

class VirtualClock final : public Clock {
public:
    std::int64_t NowMs() const override { return now_; }
    Ticket CallAfter(std::int64_t delayMs, Callback callback) override;
    void Cancel(Ticket ticket) override;

    // Moves time forward by deltaMs (not below 0), running what falls due on the way.
    void Advance(std::int64_t deltaMs);

    // Runs the queued events that are due now without moving time.
    void RunDue() { Advance(0); }

    // Due time of the earliest pending call, or -1 when nothing is pending.
    std::int64_t NextDueMs() const;

private:
    // Keyed by (due time, ticket): tickets rise, so equal due times keep scheduling order.
    std::map<std::pair<std::int64_t, Ticket>, Callback> pending_;
    std::int64_t now_ = 0;
    Ticket lastTicket_ = 0;
};

} // namespace tavelio
