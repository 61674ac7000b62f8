// The registry hive reader on any file: opening the program's key never raises (a malformed file
// reads as no key), and each value the program reads gives a flag, or valid UTF-8 text without a
// zero character, or one of the two documented errors.
#include "fuzz_check.h"
#include "platform/system/hive_registry.h"

#include <QString>
#include <iostream>

namespace tavelio::fuzz {
namespace {

template <typename Read> void CheckValue(const std::string& name, Read read) {
    try {
        read();
    } catch (const ERegistryException& error) {
        FUZZ_CHECK(IsOneOf(error.what(), "Failed to get data for '" + name + "'",
                           "Invalid data type for '" + name + "'"),
                   error.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A malformed file is told on standard error, once for each input.
    std::cerr.rdbuf(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HiveRegistry registry(ScratchFile("hklm.reg", Bytes(data, size)));
    const auto key = registry.OpenKey("\\Software\\Morrowick\\Tavelio\\");
    if (!key) {
        return 0;
    }
    for (const std::string name : {"Installed", "Path", "Full", "MP3", "SoundOn", "FromPath"}) {
        CheckValue(name, [&] { key->ReadBool(name); });
        CheckValue(name, [&] {
            const std::string text = key->ReadString(name);
            FUZZ_CHECK(text.find('\0') == std::string::npos);
            FUZZ_CHECK(QString::fromUtf8(text).toUtf8().toStdString() == text, text);
        });
    }
    return 0;
}

} // namespace tavelio::fuzz
