// The media header reader on any file: it reads every file it can open, names a kind only where
// the file starts as that kind does, and gives lengths, rates and encoder figures that the
// headers' own fields can hold.
#include "fuzz_check.h"
#include "platform/media_files/media_file_info.h"

#include <set>

namespace tavelio::fuzz {

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = Bytes(data, size);
    const auto info = ReadMediaFileInfo(ScratchFile("media", bytes));
    FUZZ_CHECK(info.has_value());
    const bool riff = bytes.starts_with("RIFF");
    switch (info->kind) {
    case MediaFileKind::Wav:
        FUZZ_CHECK(riff && bytes.substr(8, 4) == "WAVE");
        break;
    case MediaFileKind::Avi:
        FUZZ_CHECK(riff && bytes.substr(8, 4) == "AVI ");
        break;
    case MediaFileKind::Mp3: {
        static const std::set<int> kRates{8000,  11025, 12000, 16000, 22050,
                                          24000, 32000, 44100, 48000};
        FUZZ_CHECK(kRates.contains(info->sampleRate), std::to_string(info->sampleRate));
        break;
    }
    case MediaFileKind::Other:
        FUZZ_CHECK(!info->lengthMs);
        break;
    }
    FUZZ_CHECK(info->lengthMs.value_or(0) >= 0);
    for (const auto& samples : {info->encoderDelay, info->encoderPadding}) {
        FUZZ_CHECK(samples.value_or(0) >= 0 && samples.value_or(0) < 4096);
    }
    FUZZ_CHECK(info->encoderName.size() <= 9);
    return 0;
}

} // namespace tavelio::fuzz
