#include "book_damage.h"

#include "book/book_image.h"
#include "content/byte_coding.h"
#include "content/database_reader.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>

namespace tavelio::soak {
namespace {

namespace fs = std::filesystem;

// Scripts that break the grammar every way: text for numbers, numbers beyond 32 bits, negative
// delays, lines missing, modes and codes that name nothing, hand-overs with no block after them.
constexpr std::array<std::string_view, 8> kGarbageScripts{
    "3~abc~~-7~99999999999~$FFFFFFFF~1~-300~5~4~x~y",
    "1~~~~",
    "2~-1~\x01\x02~~",
    "3~0~1~-2147483648~2147483647~3~32767~-1~4~10~-20",
    "3~~7~~~~~~~",
    "2~2147483647~a~b~c",
    "3~100~5",
    "9~~~3~1",
};

std::string Decoded(std::string stored) {
    for (char& c : stored) {
        c = static_cast<char>(DecodeByte(static_cast<std::uint8_t>(c)));
    }
    return stored;
}

PageTable LoadTable(const std::string& folder) {
    PageTable table;
    LoadDatabase(folder + "/QVDB.dat", folder + "/font.tmp", table);
    return table;
}

void GarbleScripts(const std::string& folder) {
    const PageTable table = LoadTable(folder);
    book::BookImage image;
    image.font = test::ReadFile(folder + "/font.tmp");
    fs::remove(folder + "/font.tmp");
    image.archive = Decoded(test::ReadFile(folder + "/Graphics.dat"));
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        QVDBType record = table.At(slot);
        record.ScriptText =
            kGarbageScripts[static_cast<std::size_t>(slot) % kGarbageScripts.size()];
        image.records[static_cast<std::size_t>(slot - 1)] = book::FieldTextsOf(record);
    }
    book::WriteBookFiles(image, folder);
}

// Cuts the archive short in the middle of its largest picture, as a copy that broke off: that
// picture is cut, the ones after it are gone.
void CutLastPicture(const std::string& folder) {
    const PageTable table = LoadTable(folder);
    fs::remove(folder + "/font.tmp");
    std::int32_t offset = 0;
    std::int32_t size = 0;
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        if (table.At(slot).PicType != "NA" && table.At(slot).PicSize > size) {
            offset = table.At(slot).PicOffset;
            size = table.At(slot).PicSize;
        }
    }
    fs::resize_file(folder + "/Graphics.dat", static_cast<std::uintmax_t>(offset + size / 2));
}

} // namespace

void DamageBook(const std::string& folder, const std::string& damage) {
    if (damage == "no-narration") {
        fs::remove(folder + "/A1Speach.wav");
        fs::remove(folder + "/A1Speach.mp3");
    } else if (damage == "no-clip") {
        fs::remove(folder + "/A1Sprout.avi");
    } else if (damage == "short-picture") {
        CutLastPicture(folder);
    } else if (damage == "garbage-script") {
        GarbleScripts(folder);
    } else if (damage != "none") {
        throw std::invalid_argument("no such damage: " + damage);
    }
}

} // namespace tavelio::soak
