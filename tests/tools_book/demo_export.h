// Test helper for the EPUB export's suites: the demo book's data folder, and the book read for
// export from it once per process (reading it encodes the narration, which takes a second).
#pragma once

#include "book/epub_book.h"

#include <string>

namespace tavelio::test {

inline const std::string kDemo = TAVELIO_DEMO_DIR;

inline const book::ExportedBook& DemoBook() {
    static const book::ExportedBook exported = book::ReadBookForExport(kDemo);
    return exported;
}

} // namespace tavelio::test
