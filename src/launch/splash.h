// TSplash: the full-screen title picture shown while start-up loads the content. Frameless, on
// top of everything, white, with the hourglass cursor, and disabled so that it takes no input.
// It hides itself when CloseTime fires, 3000 ms after it was made; the launch pad releases it.
//
// Ownership: a separate window owned by the launch pad (its Qt parent), which destroys it with
// itself; owns its two pictures and its timer.
#pragma once

#include "platform/controls/form.h"
#include "platform/controls/picture_box.h"
#include "platform/controls/timer.h"

namespace tavelio {

class TSplash final : public Form {
public:
    TSplash(const FormEnvironment& environment, QWidget* owner);

    PictureBox* SplashBack;  // blue shading, stretched; hidden at design
    PictureBox* SplashFront; // title picture, centred in the control
    Timer* CloseTime;        // 3000 ms, on from creation

private:
    void CloseTimeTimer();
};

} // namespace tavelio
