// ShapeRecorder: a paint device that keeps what is painted on it as filled shapes in solid
// colours, the one kind of drawing that every metafile reader draws alike. Strokes become the
// outline of the stroke, text the outlines of its glyphs (Qt's paint engine turns text into
// paths), and a colour that is not opaque is mixed with the colour of the shape beneath the
// middle of the new one (or white), as it would look there. Gradients and raster images have no
// such form; painting one marks the recording as unsupported.
//
// Ownership: the device owns its paint engine and the shapes recorded.
#pragma once

#include <QColor>
#include <QPaintDevice>
#include <QPainterPath>
#include <QSize>
#include <memory>
#include <string>
#include <vector>

namespace tavelio::metafile {

struct FilledShape {
    QPainterPath outline; // in pixels, with its fill rule
    QColor colour;        // opaque
};

class ShapeRecorder final : public QPaintDevice {
public:
    explicit ShapeRecorder(QSize size);
    ~ShapeRecorder() override;

    QPaintEngine* paintEngine() const override;

    QSize Size() const { return size_; }
    const std::vector<FilledShape>& Shapes() const { return shapes_; }
    // Empty, or what was painted that has no solid-colour form (for example "a gradient").
    const std::string& Unsupported() const { return unsupported_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class RecordingEngine;
    void Add(QPainterPath outline, QColor colour);

    QSize size_;
    std::vector<FilledShape> shapes_;
    std::string unsupported_;
    std::unique_ptr<QPaintEngine> engine_;
};

} // namespace tavelio::metafile
