#include "content/picture_archive.h"

#include "base/errors.h"
#include "base/posix_file.h"
#include "content/byte_coding.h"

#include <array>
#include <span>

namespace tavelio {

std::string PictureTempPath(const std::string& tempDir, const std::string& picType) {
    if (picType.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
        throw EInOutError(3);
    }
    return tempDir + "TempPic." + picType;
}

namespace {

// Reads the blocks of the picture at picOffset out of the open archive, decoded, and hands each to
// take (which returns false when it could not keep all of it); false if any block was not kept.
template <typename Take>
bool ForEachPictureBlock(PosixFile& archive, std::int32_t picOffset, std::int32_t picSize,
                         Take take) {
    // A negative offset or size names no bytes of the archive, and an offset past its end names
    // none either; both are broken records, reported rather than copied as an empty picture.
    if (picOffset < 0 || picSize < 0 || picOffset > archive.Size()) {
        throw EInOutError(100);
    }
    archive.SeekTo(picOffset);

    std::array<std::uint8_t, kPictureBlockSize> stored{};
    std::array<std::uint8_t, kPictureBlockSize> decoded{};
    bool keptAll = true;
    const std::int32_t blocks = picSize / static_cast<std::int32_t>(kPictureBlockSize) + 1;
    for (std::int32_t block = 0; block < blocks; ++block) {
        const std::size_t got = archive.Read(stored);
        for (std::size_t i = 0; i < got; ++i) {
            decoded[i] = DecodeByte(stored[i]);
        }
        keptAll = take(std::span<const std::uint8_t>(decoded.data(), got)) && keptAll;
        if (got < stored.size()) {
            break; // the archive has ended: the remaining blocks would read nothing
        }
    }
    return keptAll;
}

} // namespace

PictureCopy CopyPictureOut(const std::string& archivePath, const std::string& tempPath,
                           std::int32_t picOffset, std::int32_t picSize) {
    PosixFile archive = PosixFile::OpenReadOnly(archivePath);
    PosixFile temp = PosixFile::Create(tempPath);
    const bool complete = ForEachPictureBlock(
        archive, picOffset, picSize,
        [&temp](std::span<const std::uint8_t> block) { return temp.Write(block) == block.size(); });
    archive.Close();
    temp.Close();
    return complete ? PictureCopy::Complete : PictureCopy::WriteWentShort;
}

std::vector<std::uint8_t> ReadPictureOut(const std::string& archivePath, std::int32_t picOffset,
                                         std::int32_t picSize) {
    PosixFile archive = PosixFile::OpenReadOnly(archivePath);
    std::vector<std::uint8_t> bytes;
    ForEachPictureBlock(archive, picOffset, picSize, [&bytes](std::span<const std::uint8_t> block) {
        bytes.insert(bytes.end(), block.begin(), block.end());
        return true;
    });
    archive.Close();
    return bytes;
}

} // namespace tavelio
