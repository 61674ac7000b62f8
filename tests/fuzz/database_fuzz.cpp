// The database reader on any file: the only error is the end of the file coming early; the font
// file holds the decoded bytes of the font block as far as the file reaches; a database that loads
// written back by the book tool's writer loads as the same records.
#include "base/errors.h"
#include "book/book_image.h"
#include "content/database_reader.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {
namespace {

PageTable Load(const std::string& database, const std::string& font) {
    PageTable table;
    LoadDatabase(database, font, table);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stored = Bytes(data, size);
    const std::string database = ScratchFile("QVDB.dat", stored);
    const std::string font = Scratch().Path("font");
    PageTable table;
    bool loaded = true;
    try {
        LoadDatabase(database, font, table);
    } catch (const EInOutError& error) {
        FUZZ_CHECK(error.ErrorCode() == 100, error.what());
        loaded = false;
    }
    FUZZ_CHECK(test::ReadFile(font) == Decoded(stored.substr(0, kFontBlockSize)));
    for (int slot = kDatabaseRecordCount + 1; slot <= PageTable::kLastSlot; ++slot) {
        FUZZ_CHECK(table.At(slot) == QVDBType{});
    }
    if (!loaded) {
        return 0;
    }
    book::BookImage image;
    image.font = test::ReadFile(font);
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        image.records[static_cast<std::size_t>(slot - 1)] = book::FieldTextsOf(table.At(slot));
    }
    book::WriteBookFiles(image, Scratch().Root().string());
    const PageTable again = Load(database, Scratch().Path("font.again"));
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        FUZZ_CHECK(again.At(slot) == table.At(slot), "slot " + std::to_string(slot));
    }
    return 0;
}

} // namespace tavelio::fuzz
