// The probe: a library that tavelio-bench preloads into the program it measures (LD_PRELOAD), so
// that the program runs unchanged while the probe stamps what the window system sees of it. It
// registers itself to run when the application object is made, and from then on watches every
// event through an application-wide filter:
//
// - a frame: the expose or update request of a top-level window is handled (painted and flushed)
//   inside the filter, and stamped when that returns;
// - the first frame of each window arms a zero timer, whose tick is the loop running timers again;
// - a new window caption.
//
// Keys come from tavelio-bench as commands on a pipe and enter through the window system's
// interface, as a platform plugin hands its keys over: the key press and release then take the
// same path through the application as a key from the keyboard. Without the two pipe variables
// the probe does nothing.
#include "content/data_file_names.h"
#include "probe_protocol.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeySequence>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <unistd.h>

// The window system's entry for keys (exported by Qt GUI for its test library).
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers, const QString& text,
                                    bool autorepeat, ushort count);

namespace tavelio::bench::probe {
namespace {

int FdFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? std::atoi(value) : -1;
}

class Probe final : public QObject {
public:
    Probe(int stampFd, int commandFd)
        : QObject(QCoreApplication::instance()), stampFd_(stampFd), commandFd_(commandFd) {
        QCoreApplication::instance()->installEventFilter(this);
        // The notifier needs the running event loop's dispatcher.
        QMetaObject::invokeMethod(
            this, [this] { ListenForCommands(); }, Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::UpdateRequest:
            if (const QString name = TopLevelName(watched); !name.isEmpty() && !insideFrame_) {
                HandleFrame(watched, event, name);
                return true;
            }
            break;
        case QEvent::WindowActivate:
            StampWindow(watched, kActive,
                        [](const QWidget& window) { return window.objectName(); });
            break;
        case QEvent::Hide:
            StampWindow(watched, kHidden,
                        [](const QWidget& window) { return window.objectName(); });
            break;
        case QEvent::WindowTitleChange:
            StampWindow(watched, kTitle,
                        [](const QWidget& window) { return window.windowTitle(); });
            break;
        default:
            break;
        }
        return false;
    }

    void timerEvent(QTimerEvent* event) override {
        killTimer(event->timerId());
        const QString window = settleTimers_.take(event->timerId());
        const bool faceInstalled =
            QFontDatabase::families().contains(QString::fromUtf8(kHandwritingFace));
        Stamp(kSettled, window + (faceInstalled ? QStringLiteral(" 1") : QStringLiteral(" 0")));
    }

private:
    // The object name of the top-level widget that watched is or whose window it is; empty for
    // anything else.
    static QString TopLevelName(QObject* watched) {
        if (const auto* widget = qobject_cast<QWidget*>(watched)) {
            return widget->isWindow() ? widget->objectName() : QString();
        }
        if (const auto* window = qobject_cast<QWindow*>(watched)) {
            for (const QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->windowHandle() == window) {
                    return widget->objectName();
                }
            }
        }
        return {};
    }

    // Stamps word with what `argument` tells of watched when it is a top-level widget.
    template <typename Argument>
    void StampWindow(QObject* watched, const char* word, Argument argument) const {
        if (const auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
            Stamp(word, argument(*widget));
        }
    }

    // Runs the frame's own handling (the other filters and the receiver) and stamps its end.
    void HandleFrame(QObject* watched, QEvent* event, const QString& name) {
        insideFrame_ = true;
        QCoreApplication::sendEvent(watched, event);
        insideFrame_ = false;
        const auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window != nullptr && !window->isExposed()) {
            return; // hidden again: nothing was painted
        }
        Stamp(kFrame, name);
        if (framedWindows_.insert(name).second) {
            settleTimers_.insert(startTimer(0), name);
        }
    }

    void ListenForCommands() {
        auto* notifier = new QSocketNotifier(commandFd_, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            char buffer[256];
            const ssize_t got = read(commandFd_, buffer, sizeof buffer);
            if (got <= 0) {
                notifier->setEnabled(false); // the benchmark has gone
                return;
            }
            pending_.append(buffer, static_cast<std::size_t>(got));
            for (std::size_t end = pending_.find('\n'); end != std::string::npos;
                 end = pending_.find('\n')) {
                Obey(pending_.substr(0, end));
                pending_.erase(0, end + 1);
            }
        });
    }

    void Obey(const std::string& command) {
        const std::size_t space = command.find(' ');
        const std::string verb = command.substr(0, space);
        const QString argument = space == std::string::npos
                                     ? QString()
                                     : QString::fromStdString(command.substr(space + 1));
        if (verb == kKey) {
            if (QWindow* window = QGuiApplication::focusWindow()) {
                PressKey(window, argument);
            } else {
                Stamp("error", QStringLiteral("no active window for the key ") + argument);
            }
            return;
        }
        QWidget* window = VisibleWindowNamed(argument);
        if (window == nullptr) {
            Stamp("error", QStringLiteral("no visible window ") + argument);
        } else if (verb == kCloseCommand) {
            window->close();
        } else if (verb == kActivateCommand) {
            window->activateWindow();
        }
    }

    static QWidget* VisibleWindowNamed(const QString& name) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }

    void PressKey(QWindow* window, const QString& name) {
        int key = 0;
        QString text;
        if (name.size() == 1) {
            text = name;
            key = name.toUpper().at(0).unicode(); // Qt's codes of letters and digits
        } else {
            key = QKeySequence::fromString(name)[0].key();
        }
        Stamp(kKey, name);
        qt_handleKeyEvent(window, QEvent::KeyPress, key, Qt::NoModifier, text, false, 1);
        qt_handleKeyEvent(window, QEvent::KeyRelease, key, Qt::NoModifier, text, false, 1);
    }

    void Stamp(const char* word, const QString& argument) const {
        const std::string line =
            std::to_string(MonotonicNs()) + ' ' + word + ' ' + argument.toStdString() + '\n';
        [[maybe_unused]] const ssize_t written = write(stampFd_, line.data(), line.size());
    }

    int stampFd_;
    int commandFd_;
    bool insideFrame_ = false;
    std::set<QString> framedWindows_;
    QHash<int, QString> settleTimers_;
    std::string pending_;
};

void StartProbe() {
    const int stampFd = FdFromEnvironment(kStampFdVariable);
    const int commandFd = FdFromEnvironment(kCommandFdVariable);
    if (stampFd >= 0 && commandFd >= 0) {
        new Probe(stampFd, commandFd); // owned by the application object
    }
}

// Runs StartProbe when the application object is made.
Q_COREAPP_STARTUP_FUNCTION(StartProbe)

} // namespace
} // namespace tavelio::bench::probe
