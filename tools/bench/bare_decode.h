// The yardstick of a page turn: libjpeg alone decoding a page's picture, already in memory, into
// the pixel layout the reader's pictures have (32 bits a pixel, Qt's RGB32 order).
#pragma once

#include "content/page_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::bench {

// The picture of the record as it lies in the picture archive at archivePath, decoded from the
// archive's byte coding.
std::vector<std::uint8_t> PagePictureBytes(const std::string& archivePath, const QVDBType& record);

// Whether the picture type names a JPEG picture.
bool IsJpegType(const std::string& picType);

// The time one decode of the JPEG picture takes, in milliseconds: the median of `repeats`
// decodes, the first of which warms the caches and is not counted.
double BareJpegDecodeMs(const std::vector<std::uint8_t>& jpeg, int repeats);

} // namespace tavelio::bench
