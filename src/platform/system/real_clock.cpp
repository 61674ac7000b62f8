#include "platform/system/real_clock.h"

#include <QTimer>
#include <algorithm>
#include <limits>

namespace tavelio {

RealClock::RealClock() {
    elapsed_.start();
}

RealClock::~RealClock() = default; // context_ deletes the pending timers

Clock::Ticket RealClock::CallAfter(std::int64_t delayMs, Callback callback) {
    const Ticket ticket = ++lastTicket_;
    auto* timer = new QTimer(&context_);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, &context_,
                     [this, ticket, timer, callback = std::move(callback)] {
                         pending_.erase(ticket);
                         timer->deleteLater();
                         callback();
                     });
    pending_.emplace(ticket, timer);
    timer->start(
        static_cast<int>(std::clamp<std::int64_t>(delayMs, 0, std::numeric_limits<int>::max())));
    return ticket;
}

void RealClock::Cancel(Ticket ticket) {
    if (auto found = pending_.find(ticket); found != pending_.end()) {
        found->second->stop();
        found->second->deleteLater();
        pending_.erase(found);
    }
}

} // namespace tavelio
