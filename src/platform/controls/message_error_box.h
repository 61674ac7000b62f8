// The error box of the running program: a modal message box with the error's text, the caption
// "Tavelio", the critical-error icon and one OK button. Shown with no parent window, so it is not
// one of the program's forms and its closing activates none of them.
#pragma once

#include "platform/system/error_box.h"

namespace tavelio {

class MessageErrorBox final : public ErrorBox {
public:
    // Text as UTF-8; text that is not valid UTF-8 is taken as Windows-1252.
    void Show(const std::string& text) override;
};

} // namespace tavelio
