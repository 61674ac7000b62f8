#include "platform/pictures/wmf_picture.h"

#include "platform/pictures/metafile_layout.h"
#include "platform/pictures/picture_limits.h"

#include <QByteArray>
#include <QImage>
#include <vector>

// libwmf's headers define U8, U16, S16 and more as macros, so they come after all the others.
#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace tavelio {
namespace {

// libwmf's drawing device (its own copy of gd) does not smooth edges, so the picture is drawn at
// this many times its size in each direction and scaled down.
constexpr int kSupersampling = 3;

// One libwmf session drawing with its gd device. The device hands its image over as PNG: the
// image it would otherwise hand over can only be freed by a function libwmf does not export.
class GdSession {
public:
    GdSession() {
        wmfAPI_Options options{};
        options.function = wmf_gd_function;
        // Records libwmf does not draw are skipped rather than fatal, and it prints nothing.
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None) {
            Destroy();
            RaiseInvalidMetafile();
        }
        wmf_gd_t* device = Device();
        device->type = wmf_gd_png;
        device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
        device->sink.context = &png_;
        device->sink.function = &Collect;
    }
    ~GdSession() { Destroy(); }
    GdSession(const GdSession&) = delete;
    GdSession& operator=(const GdSession&) = delete;

    wmfAPI* Api() { return api_; }
    wmf_gd_t* Device() { return WMF_GD_GetData(api_); }
    const QByteArray& Png() const { return png_; }

private:
    static int Collect(void* context, char* bytes, int length) {
        static_cast<QByteArray*>(context)->append(bytes, length);
        return length;
    }

    void Destroy() {
        if (api_ != nullptr) {
            wmf_api_destroy(api_);
            api_ = nullptr;
        }
    }

    wmfAPI* api_ = nullptr;
    QByteArray png_;
};

void Check(wmf_error_t result) {
    if (result != wmf_E_None) {
        RaiseInvalidMetafile();
    }
}

} // namespace

QImage DrawWmf(std::span<const std::uint8_t> bytes) {
    const WmfLayout layout = ReadWmfLayout(bytes);
    int scale = kSupersampling;
    const auto pixels = static_cast<std::uint64_t>(layout.width) * layout.height;
    if (pixels * scale * scale * 4 > kMaxImageBytes) {
        scale = 1;
    }

    // libwmf takes the records through a pointer to writable bytes, though it only reads them.
    std::vector<unsigned char> records(layout.records.begin(), layout.records.end());
    GdSession session;
    Check(wmf_mem_open(session.Api(), records.data(), static_cast<long>(records.size())));
    wmfD_Rect drawn{};
    Check(wmf_scan(session.Api(), 0, &drawn));
    wmf_gd_t* device = session.Device();
    device->width = static_cast<unsigned int>(layout.width * scale);
    device->height = static_cast<unsigned int>(layout.height * scale);
    // The placeable header's box fills the image. libwmf measures a placeable metafile in points
    // from the origin of its window, which the file sets to the box's corner.
    constexpr float kPointsPerInch = 72;
    device->bbox.TL = {0, 0};
    device->bbox.BR = {static_cast<float>(layout.widthInches * kPointsPerInch),
                       static_cast<float>(layout.heightInches * kPointsPerInch)};
    Check(wmf_play(session.Api(), 0, &drawn));

    QImage sampled = QImage::fromData(session.Png(), "PNG");
    if (sampled.isNull()) {
        RaiseInvalidMetafile();
    }
    sampled = sampled.convertToFormat(QImage::Format_RGB32);
    if (scale == 1) {
        return sampled;
    }
    return sampled.scaled(layout.width, layout.height, Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

} // namespace tavelio
