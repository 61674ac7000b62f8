// A whole data folder through the book tool: check, dump and unpack take any folder without
// raising anything but the tool's own error; dump loads what check loads; and an unpacked book
// packs again into data files that load as the same page table with the same picture bytes.
#include "book/check_command.h"
#include "book/dump_command.h"
#include "book/pack_command.h"
#include "book/tool_error.h"
#include "book/unpack_command.h"
#include "content/database_reader.h"
#include "content/record_fields.h"
#include "fuzz_check.h"
#include "fuzz_gui.h"

#include <filesystem>
#include <sstream>

namespace tavelio::fuzz {
namespace {

namespace fs = std::filesystem;

struct Loaded {
    PageTable table;
    std::string archive; // decoded
};

Loaded Load(const std::string& folder) {
    Loaded book;
    LoadDatabase(folder + "/QVDB.dat", Scratch().Path("font"), book.table);
    book.archive = Decoded(test::ReadFile(folder + "/Graphics.dat"));
    return book;
}

std::string_view PictureOf(const Loaded& book, int slot) {
    const QVDBType& record = book.table.At(slot);
    if (record.PicOffset < 0 || record.PicSize < 0) {
        return {};
    }
    return std::string_view(book.archive)
        .substr(std::min(book.archive.size(), static_cast<std::size_t>(record.PicOffset)),
                static_cast<std::size_t>(record.PicSize));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartHeadlessGuiApplication();
    return 0;
}

// The input: the database's size (four bytes, little-endian), the database, then the archive.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::string_view input = Bytes(data + 4, size - 4);
    const std::size_t databaseSize = std::min<std::size_t>(
        input.size(), std::size_t{data[0]} | std::size_t{data[1]} << 8 |
                          std::size_t{data[2]} << 16 | std::size_t{data[3]} << 24);
    const std::string folder = Scratch().Path("book");
    fs::remove_all(folder);
    fs::create_directories(folder);
    test::WriteFile(folder + "/QVDB.dat", std::string(input.substr(0, databaseSize)));
    test::WriteFile(folder + "/Graphics.dat", std::string(input.substr(databaseSize)));

    std::ostringstream out;
    const int checked = book::RunCheck(folder, out, out);
    const int dumped = book::RunDump(folder, "", out, out);
    FUZZ_CHECK(checked == 1 || dumped == 0, "check passed a folder that dump cannot load");

    const std::string unpacked = Scratch().Path("unpacked");
    const std::string repacked = Scratch().Path("repacked");
    fs::remove_all(unpacked);
    fs::remove_all(repacked);
    try {
        book::RunUnpack(folder, unpacked, out);
    } catch (const book::ToolError&) {
        FUZZ_CHECK(dumped == 1, "unpack refused a folder that dump loads");
        FUZZ_CHECK(!fs::exists(unpacked));
        return 0;
    }
    book::RunPack(unpacked + "/book.json", repacked);
    const Loaded before = Load(folder);
    const Loaded after = Load(repacked);
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        FUZZ_CHECK(after.table.At(slot) == before.table.At(slot), "slot " + std::to_string(slot));
        FUZZ_CHECK(PictureOf(after, slot) == PictureOf(before, slot),
                   "slot " + std::to_string(slot));
    }
    return 0;
}

} // namespace tavelio::fuzz
