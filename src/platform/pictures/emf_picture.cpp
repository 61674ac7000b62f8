#include "platform/pictures/emf_picture.h"

#include "platform/pictures/metafile_layout.h"

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSvgRenderer>
#include <cstdlib>
#include <emf2svg.h>
#include <memory>
#include <vector>

// libemf2svg finds the font of glyph-indexed text through fontconfig and then calls FcFini, which
// tears fontconfig down beneath Qt, whose fonts use it for the whole run: fontconfig aborts the
// program when it finds its caches still in use. The program keeps fontconfig until it ends, so
// here FcFini does nothing; a program linking this file uses this definition in place of
// fontconfig's own, and nothing else in it calls FcFini.
extern "C" void FcFini() {}

namespace tavelio {
namespace {

struct FreeWithC {
    void operator()(char* text) const { std::free(text); }
};

// The records as SVG, in the pixels of the device the file was recorded on, shifted so that the
// corner of the bounds of what they draw is the origin.
std::unique_ptr<char[], FreeWithC> ToSvg(std::span<const std::uint8_t> records,
                                         std::size_t& length) {
    // libemf2svg takes the records through a pointer to writable bytes, though it only reads.
    std::vector<char> copy(records.begin(), records.end());
    char noNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = noNamespace;
    options.verbose = false;
    options.emfplus = false; // the plain records every EMF+ file also carries are drawn instead
    options.svgDelimiter = true;
    char* svg = nullptr;
    length = 0;
    const int converted = emf2svg(copy.data(), copy.size(), &svg, &length, &options);
    std::unique_ptr<char[], FreeWithC> owned(svg);
    if (converted != 1 || svg == nullptr) {
        RaiseInvalidMetafile();
    }
    return owned;
}

} // namespace

QImage DrawEmf(std::span<const std::uint8_t> bytes) {
    const EmfLayout layout = ReadEmfLayout(bytes);
    std::size_t length = 0;
    const auto svg = ToSvg(layout.records, length);
    QSvgRenderer renderer(QByteArray::fromRawData(svg.get(), static_cast<qsizetype>(length)));
    if (!renderer.isValid()) {
        RaiseInvalidMetafile();
    }
    // The picture frame fills the image, wherever the records draw.
    renderer.setViewBox(QRectF(layout.frameLeft - layout.boundsLeft,
                               layout.frameTop - layout.boundsTop, layout.frameWidth,
                               layout.frameHeight));
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull()) {
        RaiseInvalidMetafile();
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, layout.width, layout.height));
    return image;
}

} // namespace tavelio
