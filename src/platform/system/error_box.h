// Where the event dispatcher reports an error: the message box of the running program
// (message_error_box.h), or a record of the boxes for tests and the scenario runner
// (error_box_fakes.h).
#pragma once

#include <string>

namespace tavelio {

class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    // Shows text exactly as given (the dispatcher has already applied ErrorBoxText).
    virtual void Show(const std::string& text) = 0;
};

} // namespace tavelio
