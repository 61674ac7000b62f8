// The cover of the book that the data folder holds, for the launch pad's box of book 1: the child
// sees the cover of the book she will open, not the stored picture of the first demo book.
#pragma once

#include "content/page_table.h"

#include <QImage>
#include <string>

namespace tavelio {

// The picture of the record the launch pad opens a book on (the table's first slot) when that
// record is the book's cover (PageNo 0): read out of the picture archive at archivePath and
// decoded by its PicType, as the viewer reads and decodes the page. A null image when the record
// is no cover, has no picture, or its picture can't be read or decoded; nothing is raised for
// those.
QImage ReadBookCover(const PageTable& pages, const std::string& archivePath);

} // namespace tavelio
