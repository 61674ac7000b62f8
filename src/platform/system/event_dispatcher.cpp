#include "platform/system/event_dispatcher.h"

#include "base/errors.h"

#include <exception>

namespace tavelio {

void EventDispatcher::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        // The program's own errors (tavelio::Error) carry the user's text; a library's exception
        // carries its own description, which is still the clearest account of what failed.
        box_.Show(ErrorBoxText(error.what()));
    } catch (...) {
        // Unwinding out of a handler into Qt's event loop would end the program.
        box_.Show(ErrorBoxText("Unexpected error"));
    }
}

} // namespace tavelio
