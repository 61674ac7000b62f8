// What every control of a form tells about itself. The scenario runner's dump walks a form's
// children and asks each control for its properties, so a new kind of control shows up there
// without new code in the runner.
#pragma once

#include <nlohmann/json.hpp>

namespace tavelio {

class Control {
public:
    virtual ~Control() = default;

    // The control's own properties, at least "kind", and where the control has them "visible",
    // "enabled", "left", "top", "width", "height", "caption", "hint", ... . "visible" and
    // "enabled" are the control's own settings, not whether its window shows.
    virtual nlohmann::json Describe() const = 0;
};

} // namespace tavelio
