// Copying one page picture out of the picture archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavelio {

// The copy moves whole blocks of this many bytes.
constexpr std::size_t kPictureBlockSize = 1024;

enum class PictureCopy {
    Complete,       // every block was written in full
    WriteWentShort, // at least one block stored fewer bytes than were read (the medium is full)
};

// The temporary file a page picture is copied into: tempDir followed directly by "TempPic." and
// picType. A picType holding a path separator (slash or backslash) or a zero character names no
// file in tempDir (it would reach into another folder) and raises "Invalid filename" (3).
std::string PictureTempPath(const std::string& tempDir, const std::string& picType);

// Copies the picture that starts at picOffset in the archive at archivePath into tempPath
// (created or emptied, mode 0600, a symbolic link refused), decoding every byte. The copy moves
// (picSize div 1024) + 1 blocks of 1024 bytes, so the file receives the picture followed by the
// archive's next bytes up to the end of the last block; where the archive ends first, the last
// block is short and that is not an error. The archive is opened before tempPath is created, so
// a missing archive ("File not found") leaves tempPath alone.
//
// A short write does not stop the copy and is not raised: it is the result. Every other failure
// raises EInOutError; so does a picOffset or picSize below zero or a picOffset past the end of
// the archive ("Read beyond end of file", 100), raised after tempPath has been created.
// Both files are closed on every path. Uses two fixed 1024-byte buffers and no allocation.
[[nodiscard]] PictureCopy CopyPictureOut(const std::string& archivePath,
                                         const std::string& tempPath, std::int32_t picOffset,
                                         std::int32_t picSize);

// The bytes CopyPictureOut writes into the temporary file, read into memory instead: the same
// blocks, decoded, and the same errors (none for a short write, which can't happen here).
std::vector<std::uint8_t> ReadPictureOut(const std::string& archivePath, std::int32_t picOffset,
                                         std::int32_t picSize);

} // namespace tavelio
