#include "platform/pictures/metafile_layout.h"

#include "platform/pictures/picture_limits.h"
#include "platform/pictures/picture_loader.h"

#include <cmath>
#include <cstdlib>

namespace tavelio {
namespace {

// Little-endian fields, read only where the caller has made sure they lie inside bytes.
std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(U16(bytes, at)) |
           static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}
std::int16_t S16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int16_t>(U16(bytes, at));
}
std::int32_t S32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(U32(bytes, at));
}

void Require(bool condition) {
    if (!condition) {
        RaiseInvalidMetafile();
    }
}

constexpr double kPixelsPerInch = 96;

// Drawing a metafile costs time for every pixel its shapes cover, and a damaged header can make
// a few records cover millions: a picture is drawn no larger than this many pixels a side, far
// beyond any page.
constexpr double kLargestSide = 4096;

// A size in inches as whole pixels, at least one and within the limits.
void SetPixelSize(double widthInches, double heightInches, int& width, int& height) {
    const double w = std::round(widthInches * kPixelsPerInch);
    const double h = std::round(heightInches * kPixelsPerInch);
    Require(w >= 1 && h >= 1 && w <= kLargestSide && h <= kLargestSide);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

// A device-independent bitmap as a WMF record carries it: a header whose size fields stay inside
// the record, in a layout the bitmap readers know, and no more pixels than a picture may have;
// an uncompressed one must hold all its rows.
bool IsSaneBitmap(std::span<const std::uint8_t> dib) {
    constexpr std::uint32_t kCoreHeaderSize = 12;
    constexpr std::uint32_t kInfoHeaderSize = 40;
    constexpr std::uint32_t kLargestHeaderSize = 124;
    if (dib.size() < 4) {
        return false;
    }
    const std::uint32_t headerSize = U32(dib, 0);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    if (headerSize == kCoreHeaderSize && dib.size() >= kCoreHeaderSize) {
        width = U16(dib, 4);
        height = U16(dib, 6);
        bitCount = U16(dib, 10);
    } else if (headerSize >= kInfoHeaderSize && headerSize <= kLargestHeaderSize &&
               headerSize <= dib.size()) {
        width = S32(dib, 4);
        height = std::llabs(S32(dib, 8));
        bitCount = U16(dib, 14);
        compression = U32(dib, 16);
    } else {
        return false;
    }
    const bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                            bitCount == 24 || bitCount == 32;
    if (width <= 0 || height <= 0 || !knownDepth ||
        static_cast<std::uint64_t>(width * height) * 4 > kMaxImageBytes) {
        return false;
    }
    constexpr std::uint32_t kUncompressed = 0;
    constexpr std::uint32_t kBitFields = 3;
    if (compression == kUncompressed || compression == kBitFields) {
        const std::int64_t rowBytes = (width * bitCount + 31) / 32 * 4;
        return rowBytes * height <= static_cast<std::int64_t>(dib.size() - headerSize);
    }
    return true;
}

// Where the bitmap starts in the parameters of a WMF record that carries one, or 0 for a record
// without a bitmap. The bit-block transfers carry one only when the record is longer than their
// bitmap-less form.
std::size_t BitmapOffset(std::uint16_t function, std::uint32_t recordWords) {
    switch (function) {
    case 0x0142: // DIBCREATEPATTERNBRUSH: style, colour usage
        return 4;
    case 0x0940: // DIBBITBLT: raster operation, source y and x, height, width, destination y, x
        return recordWords > 12 ? 16 : 0;
    case 0x0B41: // DIBSTRETCHBLT: as above with the source's height and width
        return recordWords > 14 ? 20 : 0;
    case 0x0D33: // SETDIBTODEV: colour usage, scans, start scan, source y, x, size, destination
        return 18;
    case 0x0F43: // STRETCHDIB: raster operation, colour usage, source and destination rectangles
        return 22;
    default:
        return 0;
    }
}

} // namespace

void RaiseInvalidMetafile() {
    throw EInvalidGraphic("Metafile is not valid");
}

WmfLayout ReadWmfLayout(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    constexpr std::size_t kPlaceableHeaderSize = 22;
    constexpr std::size_t kHeaderSize = 18;
    constexpr std::size_t kRecordHeaderSize = 6; // size in 16-bit words, function
    Require(bytes.size() >= kPlaceableHeaderSize + kHeaderSize && U32(bytes, 0) == kPlaceableKey);
    const int unitsPerInch = U16(bytes, 14);
    Require(unitsPerInch > 0);
    WmfLayout layout;
    layout.widthInches = std::abs(S16(bytes, 10) - S16(bytes, 6)) / double(unitsPerInch);
    layout.heightInches = std::abs(S16(bytes, 12) - S16(bytes, 8)) / double(unitsPerInch);
    SetPixelSize(layout.widthInches, layout.heightInches, layout.width, layout.height);

    const std::uint16_t type = U16(bytes, kPlaceableHeaderSize);
    const std::uint16_t headerWords = U16(bytes, kPlaceableHeaderSize + 2);
    Require((type == 1 || type == 2) && headerWords * 2u == kHeaderSize);

    std::size_t at = kPlaceableHeaderSize + kHeaderSize;
    for (;;) {
        Require(bytes.size() - at >= kRecordHeaderSize);
        const std::uint32_t words = U32(bytes, at);
        const std::uint16_t function = U16(bytes, at + 4);
        Require(words >= 3 && words <= (bytes.size() - at) / 2);
        const auto record = bytes.subspan(at, std::size_t{words} * 2);
        at += record.size();
        if (function == 0) {
            break;
        }
        if (const std::size_t offset = BitmapOffset(function, words)) {
            const auto parameters = record.subspan(kRecordHeaderSize);
            Require(parameters.size() > offset && IsSaneBitmap(parameters.subspan(offset)));
        }
    }
    layout.records = bytes.first(at);
    return layout;
}

EmfLayout ReadEmfLayout(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kHeaderRecord = 1;
    constexpr std::uint32_t kEndOfFileRecord = 14;
    constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
    constexpr std::size_t kHeaderSize = 88;
    constexpr std::size_t kRecordHeaderSize = 8; // type, size in bytes
    constexpr double kHundredthsOfMmPerInch = 2540;
    Require(bytes.size() >= kHeaderSize && U32(bytes, 0) == kHeaderRecord &&
            U32(bytes, 4) >= kHeaderSize && U32(bytes, 40) == kSignature);

    EmfLayout layout;
    layout.boundsLeft = S32(bytes, 8);
    layout.boundsTop = S32(bytes, 12);
    // The frame is in hundredths of a millimetre; the reference device's size in pixels and in
    // millimetres says how many of its pixels make one.
    const double frameLeft = S32(bytes, 24);
    const double frameTop = S32(bytes, 28);
    const double frameWidth = double(S32(bytes, 32)) - frameLeft;
    const double frameHeight = double(S32(bytes, 36)) - frameTop;
    const double devicePixels[2] = {double(S32(bytes, 72)), double(S32(bytes, 76))};
    const double deviceMillimetres[2] = {double(S32(bytes, 80)), double(S32(bytes, 84))};
    Require(frameWidth > 0 && frameHeight > 0 && devicePixels[0] > 0 && devicePixels[1] > 0 &&
            deviceMillimetres[0] > 0 && deviceMillimetres[1] > 0);
    SetPixelSize(frameWidth / kHundredthsOfMmPerInch, frameHeight / kHundredthsOfMmPerInch,
                 layout.width, layout.height);
    const double pixelsPerHundredthX = devicePixels[0] / deviceMillimetres[0] / 100;
    const double pixelsPerHundredthY = devicePixels[1] / deviceMillimetres[1] / 100;
    layout.frameLeft = frameLeft * pixelsPerHundredthX;
    layout.frameTop = frameTop * pixelsPerHundredthY;
    layout.frameWidth = frameWidth * pixelsPerHundredthX;
    layout.frameHeight = frameHeight * pixelsPerHundredthY;

    std::size_t at = 0;
    for (;;) {
        Require(bytes.size() - at >= kRecordHeaderSize);
        const std::uint32_t type = U32(bytes, at);
        const std::uint32_t size = U32(bytes, at + 4);
        Require(size >= kRecordHeaderSize && size % 4 == 0 && size <= bytes.size() - at);
        at += size;
        if (type == kEndOfFileRecord) {
            break;
        }
    }
    layout.records = bytes.first(at);
    return layout;
}

} // namespace tavelio
