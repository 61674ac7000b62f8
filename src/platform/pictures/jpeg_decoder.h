// JPEG decoding over libjpeg. Baseline and progressive pictures in grey, RGB/YCbCr or CMYK (also
// Adobe's inverted CMYK) become RGB32 images; bytes after the picture's end marker are ignored.
// A picture whose data ends early is completed by libjpeg (the rest filled in grey) and counts as
// loaded, as it would in an image control.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

namespace tavelio {

// Raises EInvalidGraphic "JPEG error #<n>", n being libjpeg's message code, when libjpeg refuses
// the data. All of libjpeg's memory is released on every path.
QImage DecodeJpeg(std::span<const std::uint8_t> bytes);

} // namespace tavelio
