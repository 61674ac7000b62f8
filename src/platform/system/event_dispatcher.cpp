#include "platform/system/event_dispatcher.h"

#include "base/errors.h"

namespace tavelio {

void EventDispatcher::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Error& error) {
        box_.Show(ErrorBoxText(error.what()));
    }
}

} // namespace tavelio
