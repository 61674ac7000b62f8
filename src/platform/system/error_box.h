// Where the event dispatcher reports an error: the message box of the running program, or a
// record of the boxes for tests and the scenario runner.
#pragma once

#include <string>
#include <vector>

namespace tavelio {

class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    // Shows text exactly as given (the dispatcher has already applied ErrorBoxText).
    virtual void Show(const std::string& text) = 0;
};

// Keeps every box's text instead of showing it.
class RecordingErrorBox final : public ErrorBox {
public:
    void Show(const std::string& text) override { texts_.push_back(text); }
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    std::vector<std::string> texts_;
};

} // namespace tavelio
