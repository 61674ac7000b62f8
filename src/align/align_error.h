// The error of the aligner: what went wrong, for the person who gave the recording and the text.
// The command line tool prefixes the name of the file it concerns.
#pragma once

#include <stdexcept>

namespace tavelio::align {

class AlignError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tavelio::align
