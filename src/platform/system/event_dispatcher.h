// The one entry to every event handler of the program: activation, close, click, key, character,
// timer tick and media notification. An error raised in a handler ends that handler; the
// dispatcher shows it in the error box and the program goes on from the state reached. This is
// the only place in the program that catches the program's errors.
#pragma once

#include "platform/system/error_box.h"

#include <functional>

namespace tavelio {

class EventDispatcher {
public:
    // The dispatcher reports to box, which must outlive it.
    explicit EventDispatcher(ErrorBox& box) : box_(box) {}

    void Run(const std::function<void()>& handler);

private:
    ErrorBox& box_;
};

} // namespace tavelio
