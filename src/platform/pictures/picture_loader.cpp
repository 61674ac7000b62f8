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
#include <vector>

namespace tavelio {
namespace {

// Reads with the one Qt reader named, never guessing another format from the content: a file
// that is not what its extension says is not valid, as it would be in an image control.
QImage ReadWithQt(const std::string& bytes, const char* format, const char* invalidMessage) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
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

QImage LoadPictureFile(const std::string& path) {
    const std::string extension = PictureExtension(path);
    const std::string kind = PictureKind(extension);
    if (kind == "bmp") {
        return ReadWithQt(ReadWholeFile(path), "bmp", "Bitmap image is not valid");
    }
    if (kind == "ico") {
        return ReadWithQt(ReadWholeFile(path), "ico", "Icon image is not valid");
    }
    const auto fileBytes = [&path] {
        std::string bytes = ReadWholeFile(path);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
    if (kind == "jpg" || kind == "jpeg") {
        return DecodeJpeg(fileBytes());
    }
    if (IsMetafileExtension(kind)) {
        return DrawMetafile(kind, fileBytes());
    }
    throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
}

} // namespace tavelio
