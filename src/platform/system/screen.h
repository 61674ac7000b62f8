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

// A screen of a given size for the scenario runner and tests, with no panels: all of it is
// available unless an available area is given.
class FixedScreen final : public Screen {
public:
    explicit FixedScreen(int width = 800, int height = 600)
        : size_(width, height), available_(0, 0, width, height) {}
    FixedScreen(int width, int height, QRect available)
        : size_(width, height), available_(available) {}

    QSize Size() const override { return size_; }
    QRect AvailableGeometry() const override { return available_; }

private:
    QSize size_;
    QRect available_;
};

} // namespace tavelio
