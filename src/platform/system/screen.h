// The screen the program's windows are on: its size in logical pixels (the splash covers it) and
// the part of it that windows may use (a maximised window fills that).
#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>

namespace tavelio {

class Screen {
public:
    virtual ~Screen() = default;
    virtual QSize Size() const = 0;
    virtual QRect AvailableGeometry() const = 0;
};

// The primary screen of the running application, asked afresh on every call so that a change of
// resolution is seen. Without any screen both are empty.
class QtScreen final : public Screen {
public:
    QSize Size() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->size() : QSize(0, 0);
    }
    QRect AvailableGeometry() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->availableGeometry() : QRect();
    }
};

} // namespace tavelio
