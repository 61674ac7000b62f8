// The error the book tool reports for a command it refuses or cannot complete.
#pragma once

#include "base/errors.h"

#include <stdexcept>
#include <string>

namespace tavelio::book {

// A refusal or failure of a book tool command, with a message for the person running it. The
// tool's main prints it and exits with status 1.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs operation, which works on the file or folder at path with the program's own code, and
// reports the program's error as a ToolError that names path ("out/QVDB.dat: Disk full.").
template <typename Operation>
auto NamingPathOnError(const std::string& path, Operation&& operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const Error& raised) {
        throw ToolError(path + ": " + ErrorBoxText(raised.what()));
    }
}

} // namespace tavelio::book
