#include "metafile/shape_recorder.h"

#include <QPaintEngine>
#include <QPainterPathStroker>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <utility>

namespace tavelio::metafile {

class RecordingEngine final : public QPaintEngine {
public:
    explicit RecordingEngine(ShapeRecorder& recorder)
        : QPaintEngine(AllFeatures), recorder_(recorder) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& changed) override {
        if (changed.state() & DirtyPen) {
            pen_ = changed.pen();
        }
        if (changed.state() & DirtyBrush) {
            brush_ = changed.brush();
        }
        if (changed.state() & DirtyTransform) {
            transform_ = changed.transform();
        }
        if (changed.state() & DirtyOpacity) {
            opacity_ = changed.opacity();
        }
    }

    void drawPath(const QPainterPath& path) override {
        Fill(path, brush_);
        if (pen_.style() == Qt::NoPen) {
            return;
        }
        QPainterPathStroker stroker(pen_);
        // A pen of width 0 is one pixel wide whatever the transform, as in every painter.
        if (pen_.widthF() == 0 || pen_.isCosmetic()) {
            stroker.setWidth(std::max(pen_.widthF(), 1.0) / Scale());
        }
        QPainterPath outline = stroker.createStroke(path);
        outline.setFillRule(Qt::WindingFill);
        Fill(outline, pen_.brush());
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode == PolylineMode) { // a line: stroked, never filled
            const QBrush fill = std::exchange(brush_, QBrush());
            drawPath(path);
            brush_ = fill;
            return;
        }
        path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        drawPath(path);
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {
        recorder_.unsupported_ = "a raster image";
    }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        recorder_.unsupported_ = "a raster image";
    }

private:
    // How much the transform enlarges a length, for pens that keep their width in pixels.
    double Scale() const {
        const double scale = std::sqrt(std::abs(transform_.determinant()));
        return scale > 0 ? scale : 1;
    }

    void Fill(const QPainterPath& path, const QBrush& brush) {
        if (brush.style() == Qt::NoBrush) {
            return;
        }
        if (brush.style() != Qt::SolidPattern) {
            recorder_.unsupported_ = brush.gradient() != nullptr ? "a gradient" : "a pattern";
            return;
        }
        QColor colour = brush.color();
        colour.setAlphaF(static_cast<float>(colour.alphaF() * opacity_));
        recorder_.Add(transform_.map(path), colour);
    }

    ShapeRecorder& recorder_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    double opacity_ = 1;
};

ShapeRecorder::ShapeRecorder(QSize size)
    : size_(size), engine_(std::make_unique<RecordingEngine>(*this)) {}

ShapeRecorder::~ShapeRecorder() = default;

QPaintEngine* ShapeRecorder::paintEngine() const {
    return engine_.get();
}

int ShapeRecorder::metric(PaintDeviceMetric metric) const {
    constexpr int kPixelsPerInch = 96;
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return size_.width() * 254 / (kPixelsPerInch * 10);
    case PdmHeightMM:
        return size_.height() * 254 / (kPixelsPerInch * 10);
    case PdmNumColors:
        return 0x7FFFFFFF;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kPixelsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

void ShapeRecorder::Add(QPainterPath outline, QColor colour) {
    if (outline.isEmpty() || colour.alpha() == 0) {
        return;
    }
    if (colour.alpha() < 255) {
        QColor beneath = Qt::white;
        const QPointF middle = outline.boundingRect().center();
        for (auto shape = shapes_.rbegin(); shape != shapes_.rend(); ++shape) {
            if (shape->outline.contains(middle)) {
                beneath = shape->colour;
                break;
            }
        }
        const float a = colour.alphaF();
        colour = QColor::fromRgbF(colour.redF() * a + beneath.redF() * (1 - a),
                                  colour.greenF() * a + beneath.greenF() * (1 - a),
                                  colour.blueF() * a + beneath.blueF() * (1 - a));
    }
    shapes_.push_back({std::move(outline), colour});
}

} // namespace tavelio::metafile
