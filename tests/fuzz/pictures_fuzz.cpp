// The picture loaders on any file of each kind: a picture within the size limit, or one of the
// documented "not valid" errors of its kind.
#include "fuzz_check.h"
#include "fuzz_gui.h"
#include "platform/pictures/picture_limits.h"
#include "platform/pictures/picture_loader.h"

#include <array>
#include <regex>

namespace tavelio::fuzz {
namespace {

struct Kind {
    const char* extension;
    const char* invalid; // the message of a file that is not a picture of the kind
};

constexpr std::array<Kind, 5> kKinds{{
    {"bmp", "Bitmap image is not valid"},
    {"ico", "Icon image is not valid"},
    {"jpg", nullptr}, // "JPEG error #<n>"
    {"wmf", "Metafile is not valid"},
    {"emf", "Metafile is not valid"},
}};

bool IsDocumented(const Kind& kind, const std::string& message) {
    if (kind.invalid == nullptr) {
        return std::regex_match(message, std::regex("JPEG error #[0-9]+"));
    }
    return message == kind.invalid;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartHeadlessGuiApplication();
    return 0;
}

// The input: its first byte chooses the kind, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const Kind& kind = kKinds[data[0] % kKinds.size()];
    const std::string path =
        ScratchFile(std::string("picture.") + kind.extension, Bytes(data + 1, size - 1));
    try {
        const QImage image = LoadPictureFile(path);
        FUZZ_CHECK(!image.isNull());
        FUZZ_CHECK(static_cast<std::uint64_t>(image.sizeInBytes()) <= kMaxImageBytes);
    } catch (const EInvalidGraphic& error) {
        FUZZ_CHECK(IsDocumented(kind, error.what()), error.what());
    }
    return 0;
}

} // namespace tavelio::fuzz
