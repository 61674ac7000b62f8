// The program's one family of exceptions. Every operation that fails raises one of these with the
// text the user sees; the event dispatcher is the only place that catches them and shows the error
// box. Code below the dispatcher never catches, with one exception: the thread that draws the next
// page's picture ahead (platform/pictures/pictures_ahead.h) catches everything, because nothing
// may leave a thread, and drops it, because the page reports the same failure when it loads its
// picture itself.
#pragma once

#include <stdexcept>
#include <string>

namespace tavelio {

// Base of every error the program reports. what() is the message as raised, without the full
// stop that the error box may add (see ErrorBoxText).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file operation failed. ErrorCode follows the classic input/output error numbers:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", anything else "I/O error <n>".
class EInOutError : public Error {
public:
    explicit EInOutError(int errorCode);
    int ErrorCode() const { return errorCode_; }

    // Maps a POSIX errno value onto the error numbers above:
    //   ENOENT                                   -> 2  File not found
    //   ENOTDIR, ENAMETOOLONG, EINVAL, ELOOP     -> 3  Invalid filename
    //   EMFILE, ENFILE                           -> 4  Too many open files
    //   EACCES, EPERM, EROFS, ETXTBSY, EISDIR    -> 5  File access denied
    //   ENOSPC, EDQUOT, EFBIG                    -> 101 Disk full
    //   EIO and anything else                    -> "I/O error <errno>", whose number is the
    //                                               errno value even where it equals one above
    static EInOutError FromErrno(int errnoValue);

private:
    EInOutError(int errorCode, std::string message);
    int errorCode_;
};

// The text of an error as the error box shows it: the message, followed by a full stop when its
// last character sorts after "." in character-code order (so "File not found" gains one and
// "Invalid data type for 'MP3'" does not).
std::string ErrorBoxText(const std::string& message);

} // namespace tavelio
