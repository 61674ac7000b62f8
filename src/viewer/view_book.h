// TViewBook: the book viewer window. Designed at 800 x 600, white, maximised whenever it is shown,
// made hidden and disabled (the launch pad enables and shows it when a book is opened).
//
// What it holds so far: the controls that the program's start-up, the launch pad and the
// shutdown work on: the ruled text lines Text1 to Text3, the narration player TextSpeachPlay, the
// animation player AniPlay with its display AniShow, and the cover timer CoverTimed. Its
// activation does nothing yet; closing it shuts the program down through the launch pad.
//
// Ownership: owns its controls. The launch pad form, the media back-end factory and the
// environment's services must outlive it; the program releases it at shutdown.
#pragma once

#include "platform/controls/form.h"
#include "platform/controls/label.h"
#include "platform/controls/timer.h"
#include "platform/media/media_player.h"
#include "platform/media/video_display.h"

#include <QPointer>

namespace tavelio {

class TViewBook final : public Form {
public:
    TViewBook(const FormEnvironment& environment, MediaBackendFactory& mediaBackends, Form& launch);

    // Releases the narration player, if it still exists; closing its device stops the narration.
    void ReleaseTextSpeachPlay();

    Label* Text3;
    Label* Text2;
    Label* Text1;
    QPointer<TMediaPlayer> TextSpeachPlay; // nullptr once released
    VideoDisplay* AniShow;
    TMediaPlayer* AniPlay;
    Timer* CoverTimed;

protected:
    void FormClose() override;

private:
    Form& launch_;
};

} // namespace tavelio
