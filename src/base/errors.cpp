#include "base/errors.h"

#include <cerrno>
#include <utility>

namespace tavelio {
namespace {

std::string InOutMessage(int errorCode) {
    switch (errorCode) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorCode);
    }
}

} // namespace

EInOutError::EInOutError(int errorCode) : EInOutError(errorCode, InOutMessage(errorCode)) {}

EInOutError::EInOutError(int errorCode, std::string message)
    : Error(std::move(message)), errorCode_(errorCode) {}

EInOutError EInOutError::FromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return EInOutError(2);
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return EInOutError(3);
    case EMFILE:
    case ENFILE:
        return EInOutError(4);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
        return EInOutError(5);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return EInOutError(101);
    default:
        // EIO is 5 on Linux: it must not read as "File access denied".
        return EInOutError(errnoValue, "I/O error " + std::to_string(errnoValue));
    }
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

} // namespace tavelio
