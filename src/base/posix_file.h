// The program's file layer over POSIX calls: a file opened for one call, and whole-file reads and
// writes. Every failed operation raises EInOutError, except where a function says that a file it
// cannot open is an answer rather than an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tavelio {

// Owns one open file descriptor. Every operation that fails raises EInOutError with the error
// number of errors.h. Close() reports a failed close; the destructor closes silently and exists
// only so that a file is not left open when an error unwinds the call that opened it.
class PosixFile {
public:
    // An existing file, for reading only: data files are never written, and asking for write
    // access would make a read-only installation fail.
    static PosixFile OpenReadOnly(const std::string& path);

    // OpenReadOnly for a caller to whom a file that cannot be opened is an answer: nothing, with
    // the failed call's errno value in errnoValue. Once open, the file raises as any other.
    static std::optional<PosixFile> OpenReadOnlyIfPossible(const std::string& path,
                                                           int& errnoValue);

    // Creates the file or empties an existing one, for writing. A symbolic link at the path is
    // refused rather than followed, so a planted link cannot redirect the write. A missing
    // folder on the path is "Invalid filename" (3), as the file itself is being made.
    static PosixFile Create(const std::string& path, mode_t mode = 0600);

    PosixFile(PosixFile&& other) noexcept;
    PosixFile& operator=(PosixFile&& other) noexcept;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;
    ~PosixFile();

    // Reads until the buffer is full or the file ends; returns the number of bytes read, fewer
    // than asked only at the end of the file.
    std::size_t Read(std::span<std::uint8_t> buffer);

    // Writes the bytes and returns how many were stored. Fewer than given means the medium is
    // full (the caller decides whether that is an error); other failures raise.
    std::size_t Write(std::span<const std::uint8_t> bytes);

    // Writes all bytes; storing fewer raises "Disk full" (101).
    void WriteAll(std::span<const std::uint8_t> bytes);

    // Moves the read position to a byte offset from the start.
    void SeekTo(std::int64_t offset);

    // The file's size in bytes.
    std::int64_t Size() const;

    // Closes the file, raising when the close fails.
    void Close();

private:
    explicit PosixFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// The whole content of the file at path, opened as OpenReadOnly opens it (a named pipe is read
// until its writer closes it).
std::string ReadWholeFile(const std::string& path);

// ReadWholeFile for a caller to whom a file that cannot be read is an answer, as an optional
// settings file is: nothing, with the failed call's errno value in errnoValue. Raises nothing.
std::optional<std::string> ReadWholeFileIfPossible(const std::string& path, int& errnoValue);

// Creates or empties the file at path as Create does and writes all bytes to it.
void WriteWholeFile(const std::string& path, std::string_view bytes, mode_t mode = 0600);

} // namespace tavelio
