#include "metafile/metafile_writer.h"

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <uemf.h>
#include <utility>
#include <uwmf.h>
#include <vector>

namespace tavelio::metafile {
namespace {

// Logical units per pixel: as fine as a sixteenth of a pixel, as long as the picture's longer
// side stays within the 16-bit coordinates both formats store points in.
int UnitsPerPixel(QSize size) {
    return std::clamp(32767 / std::max(size.width(), size.height()), 1, 16);
}

struct PolygonSet {
    std::vector<std::uint32_t> counts;
    std::vector<U_POINT16> points;
    QRectF covered; // in pixels
};

// The outline as closed polygons in logical units, without repeated points or polygons that
// enclose nothing.
PolygonSet Flatten(const QPainterPath& outline, int unitsPerPixel) {
    PolygonSet set;
    const auto toUnits = QTransform::fromScale(unitsPerPixel, unitsPerPixel);
    for (const QPolygonF& polygon : outline.toSubpathPolygons(toUnits)) {
        std::vector<U_POINT16> points;
        for (const QPointF& point : polygon) {
            const U_POINT16 rounded{static_cast<std::int16_t>(std::lround(point.x())),
                                    static_cast<std::int16_t>(std::lround(point.y()))};
            if (points.empty() || rounded.x != points.back().x || rounded.y != points.back().y) {
                points.push_back(rounded);
            }
        }
        if (points.size() > 1 && points.front().x == points.back().x &&
            points.front().y == points.back().y) {
            points.pop_back();
        }
        if (points.size() < 3) {
            continue;
        }
        set.counts.push_back(static_cast<std::uint32_t>(points.size()));
        set.points.insert(set.points.end(), points.begin(), points.end());
        set.covered |= toUnits.inverted().mapRect(polygon.boundingRect());
    }
    return set;
}

U_COLORREF ColourOf(const FilledShape& shape) {
    return U_RGB(static_cast<std::uint8_t>(shape.colour.red()),
                 static_cast<std::uint8_t>(shape.colour.green()),
                 static_cast<std::uint8_t>(shape.colour.blue()));
}

void Check(bool ok, const std::string& path) {
    if (!ok) {
        throw std::runtime_error(path + ": could not be written");
    }
}

// Frees what libUEMF's *_set functions and its trackers allocate.
template <typename Track, int (*FreeTrack)(Track**)> struct Owned {
    Track* track = nullptr;
    ~Owned() {
        if (track != nullptr) {
            FreeTrack(&track);
        }
    }
};

class EmfFile {
public:
    explicit EmfFile(const std::string& path) : path_(path) {
        Check(emf_start(path.c_str(), 1 << 20, 1 << 18, &track_.track) == 0 &&
                  emf_htable_create(128, 128, &handles_.track) == 0,
              path);
    }
    void Append(char* record) {
        Check(record != nullptr && emf_append(reinterpret_cast<PU_ENHMETARECORD>(record),
                                              track_.track, U_REC_FREE) == 0,
              path_);
    }
    EMFHANDLES* Handles() { return handles_.track; }
    EMFTRACK* Track() { return track_.track; }
    void Finish() { Check(emf_finish(track_.track, handles_.track) == 0, path_); }

private:
    std::string path_;
    Owned<EMFTRACK, emf_free> track_;
    Owned<EMFHANDLES, emf_htable_free> handles_;
};

class WmfFile {
public:
    explicit WmfFile(const std::string& path) : path_(path) {
        Check(wmf_start(path.c_str(), 1 << 20, 1 << 18, &track_.track) == 0 &&
                  wmf_htable_create(128, 128, &handles_.track) == 0,
              path);
    }
    void Append(char* record) {
        Check(record != nullptr && wmf_append(reinterpret_cast<U_METARECORD*>(record), track_.track,
                                              U_REC_FREE) == 0,
              path_);
    }
    void AppendHeader(char* record) {
        Check(record != nullptr && wmf_header_append(reinterpret_cast<U_METARECORD*>(record),
                                                     track_.track, U_REC_FREE) == 0,
              path_);
    }
    WMFHANDLES* Handles() { return handles_.track; }
    void Finish() { Check(wmf_finish(track_.track) == 0, path_); }

private:
    std::string path_;
    Owned<WMFTRACK, wmf_free> track_;
    Owned<WMFHANDLES, wmf_htable_free> handles_;
};

// The reference device the EMF is recorded for: four of its pixels to a picture pixel (384 per
// inch), 7680 x 5760 pixels on 508 x 381 mm. Readers that outline a fill without a pen by a
// device pixel (libemf2svg does) then thicken shapes and letters by no more than an eighth of a
// picture pixel on each side.
constexpr int kDevicePixelsPerPixel = 4;
constexpr int kDevicePixels[2] = {1920 * kDevicePixelsPerPixel, 1440 * kDevicePixelsPerPixel};
constexpr int kDeviceMillimetres[2] = {508, 381};
constexpr double kHundredthsOfMmPerPixel = 2540.0 / 96;

std::uint32_t FillMode(const FilledShape& shape) {
    return shape.outline.fillRule() == Qt::WindingFill ? U_WINDING : U_ALTERNATE;
}

} // namespace

void WriteEmf(const std::string& path, const ShapeRecorder& recording) {
    const QSize size = recording.Size();
    const int units = UnitsPerPixel(size);
    EmfFile file(path);
    const QSize device = size * kDevicePixelsPerPixel;
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(device.width() - 1, device.height() - 1));
    const U_RECTL frame = rectl_set(
        pointl_set(0, 0),
        pointl_set(
            static_cast<std::int32_t>(std::lround(size.width() * kHundredthsOfMmPerPixel)),
            static_cast<std::int32_t>(std::lround(size.height() * kHundredthsOfMmPerPixel))));
    file.Append(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr,
                                sizel_set(kDevicePixels[0], kDevicePixels[1]),
                                sizel_set(kDeviceMillimetres[0], kDeviceMillimetres[1]), 0));
    file.Append(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    file.Append(U_EMRSETWINDOWEXTEX_set(sizel_set(size.width() * units, size.height() * units)));
    file.Append(U_EMRSETVIEWPORTEXTEX_set(sizel_set(device.width(), device.height())));
    file.Append(U_EMRSELECTOBJECT_set(U_NULL_PEN));

    std::optional<std::uint32_t> brush;
    std::uint32_t fillMode = 0;
    for (const FilledShape& shape : recording.Shapes()) {
        const PolygonSet polygons = Flatten(shape.outline, units);
        if (polygons.counts.empty()) {
            continue;
        }
        if (FillMode(shape) != fillMode) {
            fillMode = FillMode(shape);
            file.Append(U_EMRSETPOLYFILLMODE_set(fillMode));
        }
        // The brush drawn with so far goes once it is no longer selected.
        std::optional<std::uint32_t> previous = std::exchange(brush, 0);
        file.Append(createbrushindirect_set(&*brush, file.Handles(),
                                            logbrush_set(U_BS_SOLID, ColourOf(shape), 0)));
        file.Append(selectobject_set(*brush, file.Handles()));
        if (previous) {
            file.Append(deleteobject_set(&*previous, file.Handles()));
        }
        const QRect covered = QTransform::fromScale(kDevicePixelsPerPixel, kDevicePixelsPerPixel)
                                  .mapRect(polygons.covered)
                                  .toAlignedRect();
        file.Append(U_EMRPOLYPOLYGON16_set(
            rectl_set(pointl_set(covered.left(), covered.top()),
                      pointl_set(covered.right(), covered.bottom())),
            static_cast<std::uint32_t>(polygons.counts.size()), polygons.counts.data(),
            static_cast<std::uint32_t>(polygons.points.size()), polygons.points.data()));
    }
    file.Append(U_EMREOF_set(0, nullptr, file.Track()));
    file.Finish();
}

void WriteWmf(const std::string& path, const ShapeRecorder& recording) {
    const QSize size = recording.Size();
    const int units = UnitsPerPixel(size);
    WmfFile file(path);
    // The placeable header's box is the size in inches times the units per inch.
    constexpr float kPixelsPerInch = 96;
    U_PAIRF inches{static_cast<float>(size.width()) / kPixelsPerInch,
                   static_cast<float>(size.height()) / kPixelsPerInch};
    file.AppendHeader(U_WMRHEADER_set(
        &inches, static_cast<unsigned>(kPixelsPerInch * static_cast<float>(units))));
    file.Append(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
    file.Append(
        U_WMRSETWINDOWEXT_set(point16_set(static_cast<std::int16_t>(size.width() * units),
                                          static_cast<std::int16_t>(size.height() * units))));
    std::uint32_t pen = 0;
    file.Append(
        wcreatepenindirect_set(&pen, file.Handles(), U_PEN_set(U_PS_NULL, 0, U_RGB(0, 0, 0))));
    file.Append(wselectobject_set(pen, file.Handles()));

    std::optional<std::uint32_t> brush;
    std::uint32_t fillMode = 0;
    for (const FilledShape& shape : recording.Shapes()) {
        const PolygonSet polygons = Flatten(shape.outline, units);
        if (polygons.counts.empty()) {
            continue;
        }
        if (polygons.counts.size() > 0xFFFF ||
            std::any_of(polygons.counts.begin(), polygons.counts.end(),
                        [](std::uint32_t count) { return count > 0xFFFF; })) {
            throw std::runtime_error(path + ": a shape has too many points for a metafile");
        }
        if (FillMode(shape) != fillMode) {
            fillMode = FillMode(shape);
            file.Append(U_WMRSETPOLYFILLMODE_set(static_cast<std::uint16_t>(fillMode)));
        }
        std::optional<std::uint32_t> previous = std::exchange(brush, 0);
        file.Append(wcreatebrushindirect_set(&*brush, file.Handles(),
                                             U_WLOGBRUSH_set(U_BS_SOLID, ColourOf(shape), 0)));
        file.Append(wselectobject_set(*brush, file.Handles()));
        if (previous) {
            file.Append(wdeleteobject_set(&*previous, file.Handles()));
        }
        const std::vector<std::uint16_t> counts(polygons.counts.begin(), polygons.counts.end());
        file.Append(U_WMRPOLYPOLYGON_set(static_cast<std::uint16_t>(counts.size()), counts.data(),
                                         polygons.points.data()));
    }
    file.Append(U_WMREOF_set());
    file.Finish();
}

} // namespace tavelio::metafile
