// VideoDisplay: the window a media player draws its video into (the viewer's AniShow). It paints
// the latest frame it was given, scaled to fit its own size with the frame's proportions kept and
// centred; where no frame covers it, and before the first frame, it shows its background. A new
// Open of the player does not clear it: the last frame stays until the next one arrives or
// ClearFrame is called.
//
// Ownership: a widget child of its form, found by objectName. Frames arrive on the
// user-interface thread only (the media back end hands them over).
#pragma once

#include "platform/controls/window_control.h"

#include <QImage>
#include <QWidget>

namespace tavelio {

class VideoDisplay final : public WindowControl<QWidget> {
public:
    VideoDisplay(QWidget* form, const char* name);

    // Shows frame from now on; repaints.
    void ShowFrame(const QImage& frame);
    void ClearFrame();
    const QImage& Frame() const { return frame_; }
    // How many frames have been shown since the widget was made.
    int FrameCount() const { return frameCount_; }

    // "kind" "videoDisplay", the common properties, "frameWidth", "frameHeight".
    nlohmann::json Describe() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the frame goes: fitted to the widget with its proportions kept, centred.
    QRect FrameRect() const;

    QImage frame_;
    int frameCount_ = 0;
};

} // namespace tavelio
