#include "base/posix_file.h"

#include "base/errors.h"

#include <algorithm>
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

// Reads until size bytes are in or the file ends; the number read, or -1 with errno set.
ssize_t ReadFully(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, data + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Appends everything from the read position to the end of the file; false with errno set when a
// read fails.
bool ReadToEnd(int fd, std::string& bytes) {
    constexpr std::size_t kChunk = 64 * 1024;
    for (;;) {
        const std::size_t before = bytes.size();
        bytes.resize(before + kChunk);
        const ssize_t got =
            ReadFully(fd, reinterpret_cast<std::uint8_t*>(bytes.data() + before), kChunk);
        bytes.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0) {
            return false;
        }
        if (static_cast<std::size_t>(got) < kChunk) {
            return true;
        }
    }
}

} // namespace

PosixFile PosixFile::OpenReadOnly(const std::string& path) {
    int error = 0;
    std::optional<PosixFile> file = OpenReadOnlyIfPossible(path, error);
    if (!file) {
        throw EInOutError::FromErrno(error);
    }
    return std::move(*file);
}

std::optional<PosixFile> PosixFile::OpenReadOnlyIfPossible(const std::string& path,
                                                           int& errnoValue) {
    const int fd = OpenWithoutWaiting(path, O_RDONLY, 0);
    if (fd < 0) {
        errnoValue = errno;
        return std::nullopt;
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
    const ssize_t got = ReadFully(fd_, buffer.data(), buffer.size());
    if (got < 0) {
        throw EInOutError::FromErrno(errno);
    }
    return static_cast<std::size_t>(got);
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

std::string ReadWholeFile(const std::string& path) {
    int error = 0;
    std::optional<std::string> bytes = ReadWholeFileIfPossible(path, error);
    if (!bytes) {
        throw EInOutError::FromErrno(error);
    }
    return std::move(*bytes);
}

std::optional<std::string> ReadWholeFileIfPossible(const std::string& path, int& errnoValue) {
    const int fd = OpenWithoutWaiting(path, O_RDONLY, 0);
    if (fd < 0) {
        errnoValue = errno;
        return std::nullopt;
    }
    std::string bytes;
    const bool read = ReadToEnd(fd, bytes);
    const int error = errno;
    ::close(fd);
    if (!read) {
        errnoValue = error;
        return std::nullopt;
    }
    return bytes;
}

void WriteWholeFile(const std::string& path, std::string_view bytes, mode_t mode) {
    PosixFile file = PosixFile::Create(path, mode);
    file.WriteAll(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    file.Close();
}

} // namespace tavelio
