// A book's data files in content form, between the manifest and the encoded files.
#pragma once

#include "content/record_fields.h"

#include <array>
#include <string>

namespace tavelio::book {

using FieldTexts = std::array<std::string, kRecordFieldCount>;

// The content bytes of a book: the font block, the texts of the twelve records' fields (each
// exactly what goes before its TAB) and the picture archive. Nothing here is encoded yet.
struct BookImage {
    std::string font; // at most the font block's size; written padded with zero bytes
    std::array<FieldTexts, kDatabaseRecordCount> records;
    std::string archive;
};

// The texts of the record's fields that the program's reader loads as this record: numbers in
// decimal, Letter as its one character, strings as they are.
FieldTexts FieldTextsOf(const QVDBType& record);

// Writes QVDB.dat and Graphics.dat into folder (which must exist), encoding every byte. Raises
// EInOutError when a file cannot be written, ToolError when the image cannot be stored as it is
// (a font larger than the block, a TAB inside a field).
void WriteBookFiles(const BookImage& image, const std::string& folder);

} // namespace tavelio::book
