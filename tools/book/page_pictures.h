// The pictures of a made book, as the reader shows them: each page's picture made to fill the box
// its page kind gives it, without distortion.
#pragma once

#include "book/book_source.h"

#include <filesystem>

namespace tavelio::book {

struct PagePicture {
    std::filesystem::path file; // the author's own file, or one made in the work folder
    int mediaWidth = 0;         // what the record's MediaWidth and MediaHeight must say
    int mediaHeight = 0;
};

// Makes the picture of page (which has one) fit for its page. A picture page (kind 0) shows the
// picture in its own proportions, at its own size or shrunk to fit the window. A page of ruled
// lines shows it in the fixed page frame: a picture of other proportions is cropped about its
// middle when that loses at most a sixth of its width or height, and otherwise shown whole with
// white bands (letterboxed). A picture already in the reader's formats (JPEG, BMP, WMF, EMF)
// and fit for its box is used as it is; any other (PNG, GIF, SVG, a phone photo of any size,
// turned upright as its camera says) is drawn into a JPEG of the box's size in workFolder.
// Raises ToolError naming the page's picture when the file can't be read as a picture.
PagePicture MakePagePicture(const BookSource& source, const SourcePage& page,
                            const std::filesystem::path& workFolder);

} // namespace tavelio::book
