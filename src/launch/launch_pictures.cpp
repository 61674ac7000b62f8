#include "launch/launch_pictures.h"

#include "base/errors.h"
#include "platform/pictures/jpeg_decoder.h"
#include "platform/pictures/picture_loader.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <span>
#include <string>

// The resources live in this static library and nothing refers to them by name, so the linker
// takes them into the program only through this reference. Qt's macro can't be used inside a
// namespace.
static void InitLaunchResources() {
    Q_INIT_RESOURCE(launch);
}

namespace tavelio {
namespace {

QByteArray StoredBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EInvalidGraphic("Picture " + path.toStdString() + " is not stored with the program");
    }
    return file.readAll();
}

} // namespace

QImage LaunchPicture(const char* fileName) {
    const QString path = QStringLiteral(":/launch/") + QLatin1String(fileName);
    const QByteArray bytes = StoredBytes(path);
    if (path.endsWith(QLatin1String(".jpg"))) {
        return DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
    }
    // Read as the format its name says: guessing it from the content would have Qt load and ask
    // every image format plugin of the system.
    const QByteArray format = path.section(QLatin1Char('.'), -1).toLatin1();
    QImage picture;
    if (!picture.loadFromData(bytes, format.constData())) {
        throw EInvalidGraphic("Bitmap image is not valid");
    }
    return picture;
}

void RegisterLaunchPictures() {
    InitLaunchResources();
}

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/launch/tavelio.png"));
}

} // namespace tavelio
