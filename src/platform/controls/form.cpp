#include "platform/controls/form.h"

#include "base/text_encoding.h"
#include "platform/controls/active_form.h"
#include "platform/controls/control.h"
#include "platform/controls/key_codes.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <algorithm>

namespace tavelio {
namespace {

// The frame the forms were designed with: a 4-pixel border and a caption that together take 23
// pixels at the top. The launch pad's sizes come from it (client 562 x 375 in an outer 570 x 402).
constexpr QMargins kDesignedFrame(4, 23, 4, 4);

// Longest wait for the window system to put a newly shown window on the screen.
constexpr qint64 kExposeWaitMs = 1000;

Qt::WindowFlags FlagsOf(Form::FrameStyle frameStyle) {
    switch (frameStyle) {
    case Form::FrameStyle::None:
        return Qt::Window | Qt::FramelessWindowHint;
    case Form::FrameStyle::FixedSingle:
        return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    case Form::FrameStyle::Sizeable:
        break;
    }
    return Qt::Window;
}

// Qt's offscreen platform reports a frame of its own invention and maximises to its own screen
// size; neither is drawn anywhere, so the program treats it as a window system without frames.
bool IsOffscreenPlatform() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

} // namespace

Form::Form(const FormEnvironment& environment, const char* name, FrameStyle frameStyle,
           QWidget* owner)
    : QWidget(owner, FlagsOf(frameStyle)), environment_(environment), frameStyle_(frameStyle) {
    setObjectName(name);
}

Form::~Form() {
    environment_.activeForm.FormDestroyed(*this);
}

void Form::DeliverKeyDown(int virtualKey) {
    if (isVisible() && isEnabled()) {
        Dispatcher().Run([this, virtualKey] { FormKeyDown(virtualKey); });
    }
}

void Form::DeliverChar(char character) {
    if (isVisible() && isEnabled()) {
        Dispatcher().Run([this, character] { FormKeyPress(character); });
    }
}

void Form::DeliverClose() {
    if (isVisible() && isEnabled()) {
        Dispatcher().Run([this] { Close(); });
    }
}

void Form::DeliverActivate() {
    Dispatcher().Run([this] { FormActivate(); });
}

void Form::AskForFocus() {
    activateWindow();
    if (!IsOffscreenPlatform()) { // which has no stacking to change
        raise();
    }
}

void Form::Close() {
    FormClose();
    if (endProgram_) {
        endProgram_();
    } else {
        hide();
    }
}

void Form::SetCloseEndsProgram(std::function<void()> endProgram) {
    endProgram_ = std::move(endProgram);
}

std::string Form::Caption() const {
    return caption_;
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    setWindowTitle(QString::fromStdString(Cp1252ToUtf8(caption)));
}

void Form::SetLeft(int left) {
    outer_.moveLeft(left);
    ApplyGeometry();
}

void Form::SetTop(int top) {
    outer_.moveTop(top);
    ApplyGeometry();
}

void Form::SetWidth(int width) {
    outer_.setWidth(width);
    ApplyGeometry();
}

void Form::SetHeight(int height) {
    outer_.setHeight(height);
    ApplyGeometry();
}

void Form::SetBounds(int left, int top, int width, int height) {
    outer_ = QRect(left, top, width, height);
    ApplyGeometry();
}

int Form::ClientWidth() const {
    return width();
}

int Form::ClientHeight() const {
    return height();
}

void Form::SetClientSize(int width, int height) {
    const QMargins frame = FrameMargins();
    outer_.setSize(
        QSize(width + frame.left() + frame.right(), height + frame.top() + frame.bottom()));
    ApplyGeometry();
}

bool Form::OwnEnabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void Form::FocusForm() {
    setFocus(Qt::OtherFocusReason);
}

void Form::SetColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
    setAutoFillBackground(true);
}

void Form::SetFont(const std::string& faceName, int pixelHeight) {
    setFont(DesignedFont(faceName, pixelHeight));
}

void Form::SetCursorShape(CursorShape shape) {
    cursor_ = shape;
    ApplyCursor(*this, shape);
}

QMargins Form::FrameMargins() const {
    if (frameStyle_ == FrameStyle::None) {
        return {};
    }
    if (!IsOffscreenPlatform() && windowHandle() != nullptr) {
        if (const QMargins reported = windowHandle()->frameMargins(); !reported.isNull()) {
            return reported;
        }
    }
    return kDesignedFrame;
}

void Form::ApplyGeometry() {
    const QMargins frame = FrameMargins();
    const QSize client(std::max(0, outer_.width() - frame.left() - frame.right()),
                       std::max(0, outer_.height() - frame.top() - frame.bottom()));
    if (frameStyle_ == FrameStyle::FixedSingle) {
        setFixedSize(client);
    } else {
        resize(client);
    }
    // A window's position is that of its frame's top-left corner.
    move(outer_.topLeft());
}

void Form::ShowAndPaintNow() {
    show();
    // Painting and the window system's own housekeeping only: the program's timers and queued
    // events (which run on Qt timers) and the user's input wait until the handler has returned.
    const auto onlyPainting = QEventLoop::ExcludeUserInputEvents |
                              QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
    QCoreApplication::processEvents(onlyPainting);
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWaitMs) {
        QThread::msleep(5);
        QCoreApplication::processEvents(onlyPainting);
    }
    repaint();
    QCoreApplication::processEvents(onlyPainting);
}

nlohmann::json Form::Describe() const {
    nlohmann::json controls = nlohmann::json::object();
    for (const QObject* child : children()) {
        if (const auto* control = dynamic_cast<const Control*>(child)) {
            controls[child->objectName().toStdString()] = control->Describe();
        }
    }
    return {{"visible", OwnVisible()},
            {"enabled", OwnEnabled()},
            {"caption", Cp1252ToUtf8(caption_)},
            {"left", Left()},
            {"top", Top()},
            {"width", Width()},
            {"height", Height()},
            {"clientWidth", ClientWidth()},
            {"clientHeight", ClientHeight()},
            {"cursor", CursorName(cursor_)},
            {"controls", std::move(controls)}};
}

void Form::setVisible(bool visible) {
    const bool wasShown = OwnVisible();
    if (visible && !wasShown) {
        if (centred_ && !shownBefore_) {
            const QSize screen = environment_.screen.Size();
            outer_.moveTo((screen.width() - outer_.width()) / 2,
                          (screen.height() - outer_.height()) / 2);
            ApplyGeometry();
        }
        if (maximized_) {
            // Where the window system maximises, it gives the window the same area.
            outer_ = environment_.screen.AvailableGeometry();
            ApplyGeometry();
            if (!IsOffscreenPlatform()) {
                setWindowState(windowState() | Qt::WindowMaximized);
            }
        }
        shownBefore_ = true;
    }
    QWidget::setVisible(visible);
    if (visible && !wasShown) {
        environment_.activeForm.FormShown(*this);
    } else if (!visible && wasShown) {
        environment_.activeForm.FormHiddenOrDisabled(*this);
    }
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        environment_.activeForm.FormHiddenOrDisabled(*this);
    }
}

void Form::keyPressEvent(QKeyEvent* event) {
    // As the window system delivers a key: the key going down, then the characters it types, to
    // the same form even when the key-down handler has hidden it.
    if (const int virtualKey = VirtualKeyOf(*event); virtualKey != 0) {
        Dispatcher().Run([this, virtualKey] { FormKeyDown(virtualKey); });
    }
    for (const char32_t codePoint : event->text().toUcs4()) {
        if (const std::optional<char> character = Cp1252Char(codePoint)) {
            Dispatcher().Run([this, typed = *character] { FormKeyPress(typed); });
        }
    }
    event->accept();
}

void Form::closeEvent(QCloseEvent* event) {
    // The window stays as it is until the program has run its close handling.
    event->ignore();
    DeliverClose();
}

} // namespace tavelio
