// Form: a top-level window of the program (the launch pad, the splash, the book viewer) with the
// event handlers its class overrides and the fixed pixel geometry it was designed with.
//
// Contract:
// - Every handler (FormActivate, FormClose, FormKeyDown, FormKeyPress) is entered through the
//   event dispatcher, so an error it raises ends that handler and shows the error box.
// - Input reaches the form as the window system delivers it (Qt key and close events), or as the
//   scenario runner injects it through the Deliver functions, which behave the same way: a form
//   that is hidden or disabled gets no keys and can't be closed by the user.
// - Activation is the program's own: showing, hiding, enabling and disabling forms tells the
//   ActiveForm tracker, which queues FormActivate of the form that becomes active (active_form.h).
//   What the window system reports about activation is not used, because it is unreliable
//   (nothing at all on X11 without a window manager) and because switching to another
//   application and back must not count.
// - Geometry: Left, Top, Width and Height are the outer rectangle as the program set it, frame
//   and caption included. The client size follows from the frame margins the window system
//   reports; where the window system draws no frame (Qt's offscreen platform, X11 without a
//   window manager) the margins of the designed frame are used (4 pixels at the sides and bottom,
//   23 at the top for border and caption), so that the layouts come out as designed. A size
//   change keeps the top-left corner.
// - Closing (Close, or the user's close) runs FormClose and then hides the form, or, for the form
//   that was made the main window with SetCloseEndsProgram, ends the program instead.
//
// Ownership: a form owns its controls (Qt children). A form made with an owner is a separate
// top-level window that is destroyed with its owner. The environment's services must outlive the
// form.
#pragma once

#include "platform/controls/control_look.h"
#include "platform/system/clock.h"
#include "platform/system/event_dispatcher.h"
#include "platform/system/screen.h"

#include <QColor>
#include <QIcon>
#include <QMargins>
#include <QRect>
#include <QWidget>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

namespace tavelio {

class ActiveForm;

// What every form is made with.
struct FormEnvironment {
    Clock& clock;
    EventDispatcher& dispatcher;
    ActiveForm& activeForm;
    Screen& screen;
};

class Form : public QWidget {
public:
    enum class FrameStyle {
        None,        // no border, no caption (the splash)
        FixedSingle, // caption and close box; the user can't resize it (the launch pad)
        Sizeable,    // an ordinary window (the viewer)
    };

    // name becomes the objectName ("Launch", "Splash", "ViewBook").
    Form(const FormEnvironment& environment, const char* name, FrameStyle frameStyle,
         QWidget* owner = nullptr);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Input as the window system would deliver it; each enters its handler through the
    // dispatcher, and does nothing when the form is hidden or disabled.
    void DeliverKeyDown(int virtualKey); // a key goes down: FormKeyDown
    void DeliverChar(char character);    // a character typed (Windows-1252): FormKeyPress
    void DeliverClose();                 // the user closes the window: Close
    void DeliverActivate();              // the form became active: FormActivate (ActiveForm)

    // Asks the window system to bring the window up and give it the keyboard.
    void AskForFocus();

    // The program closes the form: FormClose, then hide or end the program. Runs inside the
    // handler that calls it (no dispatcher of its own).
    void Close();
    // Makes this the main window: closing it calls endProgram instead of hiding it.
    void SetCloseEndsProgram(std::function<void()> endProgram);

    // Caption, Windows-1252.
    std::string Caption() const;
    void SetCaption(const std::string& caption);

    // Outer geometry as the program set it.
    int Left() const { return outer_.x(); }
    int Top() const { return outer_.y(); }
    int Width() const { return outer_.width(); }
    int Height() const { return outer_.height(); }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);
    // Client area size; the outer size follows from the frame margins.
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);

    // Placement when the form is shown: centred on the screen the first time it is shown, or
    // maximised every time it is shown (filling the screen's available area where the window
    // system does not maximise by itself).
    void SetCentredWhenFirstShown(bool centred) { centred_ = centred; }
    void SetMaximizedWhenShown(bool maximized) { maximized_ = maximized; }

    // Shows the form and has it painted on the screen before returning, for a form that must be
    // seen while the handler that shows it goes on without handling events. Only painting and
    // window-system housekeeping are processed: no input, no timer, no queued event of the program.
    void ShowAndPaintNow();

    // The form's own Visible and Enabled settings (not those of an owner), in the vocabulary of
    // the controls (window_control.h).
    void SetVisible(bool visible) { setVisible(visible); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    bool OwnVisible() const { return !isHidden(); }
    bool OwnEnabled() const;

    // Gives the keyboard focus to the form itself, away from any of its controls, so that keys
    // reach its own handlers.
    void FocusForm();

    // The form's background colour, its font (which controls without a font of their own use)
    // and its window icon.
    void SetColor(const QColor& color);
    void SetFont(const std::string& faceName, int pixelHeight);
    void SetIcon(const QIcon& icon) { setWindowIcon(icon); }
    // Keeps the window above every other window.
    void SetStayOnTop() { setWindowFlag(Qt::WindowStaysOnTopHint); }

    // The mouse cursor over the form and over the controls that set none of their own.
    void SetCursorShape(CursorShape shape);

    // "visible", "enabled", "caption", "left", "top", "width", "height", "clientWidth",
    // "clientHeight", "cursor", and "controls": each direct child that implements Control, by
    // objectName, with its own description.
    nlohmann::json Describe() const;

protected:
    // The handlers of the form's class; the defaults do nothing.
    virtual void FormActivate() {}
    virtual void FormClose() {}
    virtual void FormKeyDown(int /*virtualKey*/) {}
    virtual void FormKeyPress(char /*character*/) {}

    Clock& FormClock() const { return environment_.clock; }
    EventDispatcher& Dispatcher() const { return environment_.dispatcher; }
    Screen& FormScreen() const { return environment_.screen; }

    void setVisible(bool visible) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QMargins FrameMargins() const;
    void ApplyGeometry();

    FormEnvironment environment_;
    FrameStyle frameStyle_;
    std::string caption_;
    CursorShape cursor_ = CursorShape::Default;
    QRect outer_;
    bool centred_ = false;
    bool maximized_ = false;
    bool shownBefore_ = false;
    std::function<void()> endProgram_;
};

} // namespace tavelio
