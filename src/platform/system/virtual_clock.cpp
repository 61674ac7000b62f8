#include "platform/system/virtual_clock.h"

#include <algorithm>

namespace tavelio {

Clock::Ticket VirtualClock::CallAfter(std::int64_t delayMs, Callback callback) {
    const Ticket ticket = ++lastTicket_;
    pending_.emplace(std::make_pair(now_ + std::max<std::int64_t>(delayMs, 0), ticket),
                     std::move(callback));
    return ticket;
}

void VirtualClock::Cancel(Ticket ticket) {
    std::erase_if(pending_, [ticket](const auto& entry) { return entry.first.second == ticket; });
}

void VirtualClock::Advance(std::int64_t deltaMs) {
    const std::int64_t target = now_ + std::max<std::int64_t>(deltaMs, 0);
    while (!pending_.empty() && pending_.begin()->first.first <= target) {
        auto next = pending_.begin();
        now_ = next->first.first;
        Callback callback = std::move(next->second);
        pending_.erase(next);
        callback();
    }
    now_ = target;
}

std::int64_t VirtualClock::NextDueMs() const {
    return pending_.empty() ? -1 : pending_.begin()->first.first;
}

} // namespace tavelio
