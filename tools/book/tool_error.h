// The error the book tool reports for a command it refuses or cannot complete.
#pragma once

#include <stdexcept>

namespace tavelio::book {

// A refusal or failure of a book tool command, with a message for the person running it. The
// tool's main prints it and exits with status 1.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tavelio::book
