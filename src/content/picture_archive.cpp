#include "content/picture_archive.h"

#include "base/errors.h"
#include "base/posix_file.h"
#include "content/byte_coding.h"

#include <array>

namespace tavelio {

std::string PictureTempPath(const std::string& tempDir, const std::string& picType) {
    if (picType.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
        throw EInOutError(3);
    }
    return tempDir + "TempPic." + picType;
}

PictureCopy CopyPictureOut(const std::string& archivePath, const std::string& tempPath,
                           std::int32_t picOffset, std::int32_t picSize) {
    PosixFile archive = PosixFile::OpenReadOnly(archivePath);
    PosixFile temp = PosixFile::Create(tempPath);
    // A negative offset or size names no bytes of the archive, and an offset past its end names
    // none either; both are broken records, reported rather than copied as an empty picture.
    if (picOffset < 0 || picSize < 0 || picOffset > archive.Size()) {
        throw EInOutError(100);
    }
    archive.SeekTo(picOffset);

    std::array<std::uint8_t, kPictureBlockSize> stored{};
    std::array<std::uint8_t, kPictureBlockSize> decoded{};
    PictureCopy result = PictureCopy::Complete;
    const std::int32_t blocks = picSize / static_cast<std::int32_t>(kPictureBlockSize) + 1;
    for (std::int32_t block = 0; block < blocks; ++block) {
        const std::size_t got = archive.Read(stored);
        for (std::size_t i = 0; i < got; ++i) {
            decoded[i] = DecodeByte(stored[i]);
        }
        if (temp.Write(std::span(decoded.data(), got)) != got) {
            result = PictureCopy::WriteWentShort;
        }
        if (got < stored.size()) {
            break; // the archive has ended: the remaining blocks would read nothing
        }
    }
    archive.Close();
    temp.Close();
    return result;
}

} // namespace tavelio
