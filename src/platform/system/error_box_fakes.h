// An error box for tests and the scenario runner: it keeps the boxes' texts instead of showing
// them.
#pragma once

#include "platform/system/error_box.h"

#include <string>
#include <vector>

namespace tavelio {

class RecordingErrorBox final : public ErrorBox {
public:
    void Show(const std::string& text) override { texts_.push_back(text); }
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    std::vector<std::string> texts_;
};

} // namespace tavelio
