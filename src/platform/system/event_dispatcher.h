// The one entry to every event handler of the program: activation, close, click, key, character,
// timer tick and media notification. An exception that ends a handler ends only that handler;
// the dispatcher shows it in the error box and the program goes on from the state reached. That
// holds for the program's own errors and for any other exception a library raises (a failed
// directory walk, an exhausted allocation): none of them reaches the event loop. This is the
// only place in the program that catches and reports; the only other catch is the thread that
// draws a picture ahead (pictures_ahead.h), which drops what it catches for the page to report.
#pragma once

#include "platform/system/error_box.h"

#include <functional>

namespace tavelio {

class EventDispatcher {
public:
    // The dispatcher reports to box, which must outlive it.
    explicit EventDispatcher(ErrorBox& box) : box_(box) {}

    // Runs handler. An exception derived from std::exception shows its message (see
    // ErrorBoxText); an exception of any other type shows "Unexpected error."
    void Run(const std::function<void()>& handler);

private:
    ErrorBox& box_;
};

} // namespace tavelio
