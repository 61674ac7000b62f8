#include "base/posix_file.h"

#include "base/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tavelio {
namespace {

bool IsMediumFull(int errnoValue) {
    return errnoValue == ENOSPC || errnoValue == EDQUOT || errnoValue == EFBIG;
}

// Opens without waiting: a named pipe with nobody at the other end would otherwise block the
// open for ever. Once open, the descriptor goes back to ordinary blocking reads and writes.
int OpenWithoutWaiting(const std::string& path, int flags, mode_t mode) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) {
        return fd;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

} // namespace

PosixFile PosixFile::OpenReadOnly(const std::string& path) {
    const int fd = OpenWithoutWaiting(path, O_RDONLY, 0);
    if (fd < 0) {
        throw EInOutError::FromErrno(errno);
    }
    return PosixFile(fd);
}

PosixFile PosixFile::Create(const std::string& path, mode_t mode) {
    const int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, mode);
    if (fd < 0) {
        const int error = errno;
        // With O_CREAT the file itself is made, so "no such entry" can only mean its folder.
        if (error == ENOENT) {
            throw EInOutError(3);
        }
        throw EInOutError::FromErrno(error);
    }
    return PosixFile(fd);
}

PosixFile::PosixFile(PosixFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

PosixFile& PosixFile::operator=(PosixFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PosixFile::~PosixFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::size_t PosixFile::Read(std::span<std::uint8_t> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd_, buffer.data() + done, buffer.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EInOutError::FromErrno(errno);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t PosixFile::Write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (IsMediumFull(errno)) {
                break;
            }
            throw EInOutError::FromErrno(errno);
        }
        if (put == 0) {
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

void PosixFile::WriteAll(std::span<const std::uint8_t> bytes) {
    if (Write(bytes) != bytes.size()) {
        throw EInOutError(101);
    }
}

void PosixFile::SeekTo(std::int64_t offset) {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        throw EInOutError::FromErrno(errno);
    }
}

std::int64_t PosixFile::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        throw EInOutError::FromErrno(errno);
    }
    return static_cast<std::int64_t>(info.st_size);
}

void PosixFile::Close() {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) {
        throw EInOutError::FromErrno(errno);
    }
}

} // namespace tavelio
