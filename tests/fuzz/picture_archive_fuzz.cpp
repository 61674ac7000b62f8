// The picture copy on any archive, offset and size: the temporary file receives exactly the
// decoded bytes of the whole blocks from the offset, as far as the archive reaches, and the only
// error is a record that names no bytes of the archive.
#include "base/errors.h"
#include "content/picture_archive.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input: the picture's offset and size (two little-endian 16-bit numbers, signed, so that
    // the fuzzer reaches the archive's own small sizes), then the archive.
    if (size < 4) {
        return 0;
    }
    const auto offset = static_cast<std::int16_t>(data[0] | data[1] << 8);
    const auto picSize = static_cast<std::int16_t>(data[2] | data[3] << 8);
    const std::string_view archive = Bytes(data + 4, size - 4);
    const std::string archivePath = ScratchFile("Graphics.dat", archive);
    const std::string tempPath = Scratch().Path("TempPic.jpg");

    const bool namesNoBytes =
        offset < 0 || picSize < 0 || static_cast<std::size_t>(offset) > archive.size();
    try {
        FUZZ_CHECK(CopyPictureOut(archivePath, tempPath, offset, picSize) == PictureCopy::Complete);
        FUZZ_CHECK(!namesNoBytes);
    } catch (const EInOutError& error) {
        FUZZ_CHECK(namesNoBytes && error.ErrorCode() == 100, error.what());
        return 0;
    }
    const std::size_t blocks = static_cast<std::size_t>(picSize) / kPictureBlockSize + 1;
    FUZZ_CHECK(test::ReadFile(tempPath) == Decoded(archive.substr(static_cast<std::size_t>(offset),
                                                                  blocks * kPictureBlockSize)));
    return 0;
}

} // namespace tavelio::fuzz
