// A screen of a given size for the scenario runner and tests, with no panels: all of it is
// available unless an available area is given.
#pragma once

#include "platform/system/screen.h"

#include <QRect>
#include <QSize>

namespace tavelio {

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
