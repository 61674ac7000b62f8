#include "platform/pictures/picture_loader.h"

#include "base/errors.h"
#include "base/posix_file.h"
#include "platform/pictures/emf_picture.h"
#include "platform/pictures/jpeg_decoder.h"
#include "platform/pictures/wmf_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <span>
#include <string>

namespace tavelio {
namespace {

// Reads with the one Qt reader named, never guessing another format from the content: a file
// that is not what its extension says is not valid, as it would be in an image control.
QImage ReadWithQt(std::span<const std::uint8_t> bytes, const char* format,
                  const char* invalidMessage) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) {
        throw EInvalidGraphic(invalidMessage);
    }
    image.detach(); // the bytes it was read from go away with this call
    return image;
}

bool IsLoadableKind(const std::string& kind) {
    return kind == "bmp" || kind == "ico" || kind == "jpg" || kind == "jpeg" ||
           IsMetafileExtension(kind);
}

[[noreturn]] void RefuseExtension(const std::string& extension) {
    throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
}

} // namespace

std::string PictureKind(std::string extension) {
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string PictureExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of('/') + 1; // npos + 1 == 0
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) {
        return {};
    }
    return path.substr(dot + 1);
}

bool IsMetafileExtension(const std::string& extension) {
    const std::string kind = PictureKind(extension);
    return kind == "wmf" || kind == "emf";
}

QImage DrawMetafile(const std::string& extension, std::span<const std::uint8_t> bytes) {
    return PictureKind(extension) == "wmf" ? DrawWmf(bytes) : DrawEmf(bytes);
}

QImage LoadPicture(const std::string& extension, std::span<const std::uint8_t> bytes) {
    const std::string kind = PictureKind(extension);
    if (!IsLoadableKind(kind)) {
        RefuseExtension(extension);
    }
    if (kind == "bmp") {
        return ReadWithQt(bytes, "bmp", "Bitmap image is not valid");
    }
    if (kind == "ico") {
        return ReadWithQt(bytes, "ico", "Icon image is not valid");
    }
    if (kind == "jpg" || kind == "jpeg") {
        return DecodeJpeg(bytes);
    }
    return DrawMetafile(kind, bytes);
}

QImage LoadPictureFile(const std::string& path) {
    const std::string extension = PictureExtension(path);
    // Refused by its name alone, before the file is read, as an image control refuses it.
    if (!IsLoadableKind(PictureKind(extension))) {
        RefuseExtension(extension);
    }
    const std::string bytes = ReadWholeFile(path);
    return LoadPicture(
        extension, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace tavelio
