// Test helper: the services that forms and controls are made with, as the tests make them: a
// virtual clock, recorded error boxes with the dispatcher that reports to them, the active-form
// tracker and an 800 x 600 screen. A fixture derives from it and makes its forms on
// environment_, its controls with dispatcher_; they are released before these services.
#pragma once

#include "platform/controls/active_form.h"
#include "platform/controls/form.h"
#include "platform/system/error_box_fakes.h"
#include "platform/system/event_dispatcher.h"
#include "platform/system/screen_fakes.h"
#include "platform/system/virtual_clock.h"

namespace tavelio::test {

class FormServices {
protected:
    VirtualClock clock_;
    RecordingErrorBox errorBox_;
    EventDispatcher dispatcher_{errorBox_};
    ActiveForm activeForm_{clock_};
    FixedScreen screen_{800, 600};
    FormEnvironment environment_{clock_, dispatcher_, activeForm_, screen_};
};

} // namespace tavelio::test
