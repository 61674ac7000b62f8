// PictureBox: an image control of a form. It draws its picture in one of three ways: at its
// natural size from the top-left corner, clipped to the control; centred in the control (clipped
// where larger); or stretched to the control's size. Without a picture it draws nothing (the
// form shows through). On a high-density screen it draws the picture's detailed version where it
// has one, else the picture scaled smoothly. A click on it (mouse button pressed and released over
// it) runs its click handler through the event dispatcher.
//
// Ownership: a widget child of its form, found by objectName; the dispatcher must outlive it.
#pragma once

#include "platform/controls/window_control.h"
#include "platform/pictures/pictures_ahead.h"
#include "platform/system/event_dispatcher.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

namespace tavelio {

class PictureBox final : public WindowControl<QWidget> {
public:
    enum class Drawing { Natural, Centred, Stretched };

    // Made shown, enabled and empty.
    PictureBox(QWidget* form, const char* name, int left, int top, int width, int height,
               Drawing drawing, EventDispatcher& dispatcher);

    // Loads the picture file at path by its extension (picture_loader.h), through pictures, which
    // may have drawn it ahead. The shown picture is replaced only when loading succeeds; a failure
    // raises and leaves it as it was.
    void LoadFromFile(const std::string& path, PicturesAhead& pictures);
    // Shows picture, for instance one decoded from the program's resources, without a detailed
    // version.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    // The shown picture drawn with more pixels (twice its size, say), drawn at the picture's size
    // on screens with more than one device pixel per pixel. decode runs only on such a screen, so
    // that other screens don't pay for a picture they never show. A new picture comes without one.
    void SetDetailedPicture(const std::function<QImage()>& decode);

    void SetDrawing(Drawing drawing);

    // The click handler (for example AnnClick); none by default.
    void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    // A click as the window system delivers it: runs the handler through the dispatcher, and does
    // nothing when the control can't be clicked (it, or its form, is hidden or disabled).
    void DeliverClick();

    // A control that ignores the mouse lets clicks through to what is below it.
    void SetIgnoresMouse(bool ignores);

    // "kind" "picture", the common properties, "drawing" ("natural", "centred", "stretched"),
    // "picture" ({"width", "height"} of the loaded picture, or null).
    nlohmann::json Describe() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    EventDispatcher& dispatcher_;
    QImage picture_;
    QImage detailed_; // its device pixel ratio set so that it draws at the picture's size
    Drawing drawing_;
    std::function<void()> onClick_;
    bool pressed_ = false;
};

} // namespace tavelio
