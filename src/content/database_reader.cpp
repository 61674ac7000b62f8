#include "content/database_reader.h"

#include "base/errors.h"
#include "base/posix_file.h"
#include "content/byte_coding.h"
#include "content/number_text.h"
#include "content/record_fields.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tavelio {
namespace {

constexpr std::uint8_t kFieldEnd = 9; // TAB
constexpr std::size_t kChunkSize = 4096;

// Hands out the decoded bytes of the record area one at a time, reading the file in chunks.
class DecodedBytes {
public:
    explicit DecodedBytes(PosixFile& file) : file_(file) {}

    std::uint8_t Next() {
        if (pos_ == end_) {
            end_ = file_.Read(buffer_);
            pos_ = 0;
            if (end_ == 0) {
                throw EInOutError(100);
            }
        }
        return DecodeByte(buffer_[pos_++]);
    }

private:
    PosixFile& file_;
    std::array<std::uint8_t, kChunkSize> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

void CopyFontBlock(PosixFile& database, PosixFile& font) {
    std::array<std::uint8_t, kChunkSize> buffer{};
    std::size_t remaining = kFontBlockSize;
    while (remaining > 0) {
        const std::size_t wanted = std::min(remaining, buffer.size());
        const std::size_t got = database.Read(std::span(buffer.data(), wanted));
        std::transform(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got),
                       buffer.begin(), DecodeByte);
        // The bytes that could be read are written before the short read is reported.
        font.WriteAll(std::span(buffer.data(), got));
        if (got < wanted) {
            throw EInOutError(100);
        }
        remaining -= got;
    }
}

void ReadRecords(PosixFile& database, PageTable& table) {
    DecodedBytes bytes(database);
    std::string text;
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        QVDBType& record = table.At(slot);
        for (const RecordField& field : kRecordFields) {
            text.clear();
            for (std::uint8_t byte = bytes.Next(); byte != kFieldEnd; byte = bytes.Next()) {
                text.push_back(static_cast<char>(byte));
                // A letter takes each character as it comes, so a file that ends inside the
                // field still leaves the last character read, like every field read before it.
                if (field.kind == FieldKind::Letter) {
                    StoreFieldText(record, field, text);
                }
            }
            StoreFieldText(record, field, text);
        }
    }
}

} // namespace

void LoadDatabase(const std::string& databasePath, const std::string& fontFile, PageTable& table) {
    PosixFile database = PosixFile::OpenReadOnly(databasePath);
    {
        PosixFile font = PosixFile::Create(fontFile);
        CopyFontBlock(database, font);
        font.Close();
    }
    ReadRecords(database, table);
    database.Close();
}

} // namespace tavelio
