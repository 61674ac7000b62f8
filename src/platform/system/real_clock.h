// The clock of the running program: Qt's event loop. Calls run on the thread that owns the
// clock, which must be the user-interface thread.
#pragma once

#include "platform/system/clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <unordered_map>

class QTimer;

namespace tavelio {

class RealClock final : public Clock {
public:
    RealClock();
    ~RealClock() override;
    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    std::int64_t NowMs() const override { return elapsed_.elapsed(); }
    Ticket CallAfter(std::int64_t delayMs, Callback callback) override;
    void Cancel(Ticket ticket) override;

private:
    QObject context_; // parent of the pending single-shot timers
    QElapsedTimer elapsed_;
    std::unordered_map<Ticket, QTimer*> pending_;
    Ticket lastTicket_ = 0;
};

} // namespace tavelio
