// What the headers and the record structure of a metafile say, read before any library sees the
// file. The libraries that draw metafiles trust the sizes written in the file: the EMF reader
// reads past the end of a file that stops without its end-of-file record, and the WMF reader can
// spend minutes on a bitmap whose header lies about its own size. So a file reaches them only
// when its records lie inside it, end with an end-of-file record and carry sane bitmaps; the
// bytes after that record (the start of the next picture, where the picture archive's block copy
// left them) are cut off. Anything else is "Metafile is not valid".
#pragma once

#include <cstdint>
#include <span>

namespace tavelio {

// Raises EInvalidGraphic "Metafile is not valid".
[[noreturn]] void RaiseInvalidMetafile();

// A Windows metafile. Only one with a placeable header is a picture file: that header gives the
// picture its size, which the records alone do not.
struct WmfLayout {
    std::span<const std::uint8_t> records; // from the placeable header to the end-of-file record
    int width = 0;                         // the picture's own size in pixels, at 96 per inch
    int height = 0;
    double widthInches = 0; // the placeable header's bounding box
    double heightInches = 0;
};

// An enhanced metafile.
struct EmfLayout {
    std::span<const std::uint8_t> records; // from the header record to the end-of-file record
    int width = 0;                         // the picture frame in pixels, at 96 per inch
    int height = 0;
    // The picture frame in pixels of the device the file was recorded on, where its records draw.
    double frameLeft = 0;
    double frameTop = 0;
    double frameWidth = 0;
    double frameHeight = 0;
    // The top-left corner of the bounds of what the records draw, in the same pixels.
    std::int32_t boundsLeft = 0;
    std::int32_t boundsTop = 0;
};

// Both raise "Metafile is not valid" for bytes that do not start with a whole metafile of the
// kind, or whose own size is under one pixel or over 4096 pixels a side.
WmfLayout ReadWmfLayout(std::span<const std::uint8_t> bytes);
EmfLayout ReadEmfLayout(std::span<const std::uint8_t> bytes);

} // namespace tavelio
