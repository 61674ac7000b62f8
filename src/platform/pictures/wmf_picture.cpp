#include "platform/pictures/wmf_picture.h"

#include "platform/pictures/metafile_layout.h"
#include "platform/pictures/wmf_painter_device.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <vector>

// libwmf's headers define U8, U16, S16 and more as macros, so they come after all the others.
#include <libwmf/api.h>

namespace tavelio {
namespace {

// One libwmf session drawing through the painter device.
class Session {
public:
    Session() {
        wmfAPI_Options options{};
        options.function = InstallPainterDevice;
        // Records libwmf does not draw are skipped rather than fatal, and it prints nothing.
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None) {
            Destroy();
            RaiseInvalidMetafile();
        }
    }
    ~Session() { Destroy(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    wmfAPI* Api() { return api_; }

private:
    void Destroy() {
        if (api_ != nullptr) {
            wmf_api_destroy(api_);
            api_ = nullptr;
        }
    }

    wmfAPI* api_ = nullptr;
};

void Check(wmf_error_t result) {
    if (result != wmf_E_None) {
        RaiseInvalidMetafile();
    }
}

} // namespace

QImage DrawWmf(std::span<const std::uint8_t> bytes) {
    const WmfLayout layout = ReadWmfLayout(bytes);
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull()) {
        RaiseInvalidMetafile();
    }
    image.fill(Qt::white);

    // libwmf takes the records through a pointer to writable bytes, though it only reads them.
    std::vector<unsigned char> records(layout.records.begin(), layout.records.end());
    Session session;
    Check(wmf_mem_open(session.Api(), records.data(), static_cast<long>(records.size())));
    wmfD_Rect drawn{};
    Check(wmf_scan(session.Api(), 0, &drawn));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // libwmf measures a placeable metafile in points from the origin of its window, which the
    // file sets to the corner of the placeable box; the box fills the picture.
    constexpr double kPointsPerInch = 72;
    painter.setTransform(
        QTransform::fromScale(layout.width / (layout.widthInches * kPointsPerInch),
                              layout.height / (layout.heightInches * kPointsPerInch)));
    SetDevicePainter(session.Api(), &painter);
    Check(wmf_play(session.Api(), 0, &drawn));
    painter.end();
    return image;
}

} // namespace tavelio
