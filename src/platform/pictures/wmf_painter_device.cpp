#include "platform/pictures/wmf_painter_device.h"

#include "base/text_encoding.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

// libwmf's headers define U8, U16, TRANSPARENT, OPAQUE and more as macros, so they come after all
// the others.
#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>

namespace tavelio {
namespace {

// The pen style's bits set to PS_NULL; libwmf's own macro for it computes in int and narrows.
void HidePen(wmfPen& pen) {
    pen.lopnStyle =
        static_cast<U16>((pen.lopnStyle & ~static_cast<unsigned>(PS_STYLE_MASK)) | PS_NULL);
}

QPainter& PainterOf(wmfAPI* api) {
    return *static_cast<QPainter*>(api->device_data);
}

QPointF PointOf(wmfD_Coord coord) {
    return {coord.x, coord.y};
}

QRectF RectOf(wmfD_Coord topLeft, wmfD_Coord bottomRight) {
    return QRectF(PointOf(topLeft), PointOf(bottomRight)).normalized();
}

QColor ColourOf(const wmfRGB* rgb) {
    return QColor(rgb->r, rgb->g, rgb->b);
}

// A part of a bitmap as libwmf read it, in 32-bit colour.
QImage ImageOf(wmfAPI* api, wmfBMP* bitmap, int x, int y, int width, int height) {
    if (bitmap->data == nullptr || width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    for (int row = 0; row < height; ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < width; ++column) {
            wmfRGB rgb{};
            wmf_ipa_bmp_color(api, bitmap, &rgb, static_cast<unsigned>(x + column),
                              static_cast<unsigned>(y + row));
            line[column] = qRgb(rgb.r, rgb.g, rgb.b);
        }
    }
    return image;
}

// GDI draws a styled line only one pixel wide; a wider pen draws solid lines.
Qt::PenStyle LineStyleOf(const wmfPen* pen, bool hairline) {
    if (!hairline) {
        return Qt::SolidLine;
    }
    switch (WMF_PEN_STYLE(pen)) {
    case PS_DASH:
        return Qt::DashLine;
    case PS_DOT:
    case PS_ALTERNATE:
        return Qt::DotLine;
    case PS_DASHDOT:
        return Qt::DashDotLine;
    case PS_DASHDOTDOT:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

QPen PenOf(wmfAPI* api, wmfDC* dc) {
    const wmfPen* pen = WMF_DC_PEN(dc);
    if (WMF_PEN_STYLE(pen) == PS_NULL) {
        return Qt::NoPen;
    }
    // A pen narrower than a pixel of the picture draws one pixel wide. (libwmf gives a negative
    // width where the file's window extent is.)
    const double width = std::abs(WMF_PEN_WIDTH(pen));
    const bool hairline = !std::isfinite(width) || width * PainterOf(api).transform().m11() <= 1;
    QPen qpen(ColourOf(WMF_PEN_COLOR(pen)));
    qpen.setStyle(LineStyleOf(pen, hairline));
    if (hairline) {
        qpen.setWidth(1);
        qpen.setCosmetic(true);
    } else {
        qpen.setWidthF(width);
    }
    switch (WMF_PEN_ENDCAP(pen)) {
    case PS_ENDCAP_SQUARE:
        qpen.setCapStyle(Qt::SquareCap);
        break;
    case PS_ENDCAP_FLAT:
        qpen.setCapStyle(Qt::FlatCap);
        break;
    default:
        qpen.setCapStyle(Qt::RoundCap);
    }
    switch (WMF_PEN_JOIN(pen)) {
    case PS_JOIN_BEVEL:
        qpen.setJoinStyle(Qt::BevelJoin);
        break;
    case PS_JOIN_MITER:
        qpen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    return qpen;
}

Qt::BrushStyle HatchOf(const wmfBrush* brush) {
    switch (WMF_BRUSH_HATCH(brush)) {
    case HS_HORIZONTAL:
        return Qt::HorPattern;
    case HS_VERTICAL:
        return Qt::VerPattern;
    case HS_FDIAGONAL:
        return Qt::FDiagPattern;
    case HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case HS_CROSS:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

// Fills path with the device context's brush (a hatch over the background colour when the
// background is opaque), then outlines it with its pen.
void FillAndStroke(wmfAPI* api, wmfDC* dc, const QPainterPath& path) {
    QPainter& painter = PainterOf(api);
    wmfBrush* brush = WMF_DC_BRUSH(dc);
    const QColor colour = ColourOf(WMF_BRUSH_COLOR(brush));
    switch (WMF_BRUSH_STYLE(brush)) {
    case BS_NULL:
        break;
    case BS_HATCHED:
        if (WMF_DC_OPAQUE(dc)) {
            painter.fillPath(path, ColourOf(WMF_DC_BACKGROUND(dc)));
        }
        painter.fillPath(path, QBrush(colour, HatchOf(brush)));
        break;
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT: {
        wmfBMP* bitmap = WMF_BRUSH_BITMAP(brush);
        const QImage tile = ImageOf(api, bitmap, 0, 0, bitmap->width, bitmap->height);
        painter.fillPath(path, tile.isNull() ? QBrush(colour) : QBrush(tile));
        break;
    }
    default:
        painter.fillPath(path, colour);
    }
    painter.strokePath(path, PenOf(api, dc));
}

Qt::FillRule FillRuleOf(wmfDC* dc) {
    return WMF_DC_POLYFILL(dc) == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
}

QPolygonF PolygonOf(const wmfD_Coord* points, int count) {
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i) {
        polygon.append(PointOf(points[i]));
    }
    return polygon;
}

// The angle in degrees, clockwise on the picture from three o'clock, of a point on the ellipse
// given relative to its centre.
double AngleOnEllipse(const QRectF& ellipse, wmfD_Coord point) {
    const double x = point.x / std::max(ellipse.width(), 1e-9);
    const double y = point.y / std::max(ellipse.height(), 1e-9);
    return std::atan2(y, x) * 180 / std::numbers::pi;
}

enum class ArcShape { Open, Pie, Chord };

// libwmf gives an arc's start and end points relative to the centre of its ellipse, ordered so
// that the arc runs clockwise on the picture from start to end (GDI's counter-clockwise arcs in
// its own coordinates); the same points make a full ellipse. Qt's angles run the other way.
QPainterPath ArcPath(const wmfDrawArc_t* arc, ArcShape shape) {
    const QRectF ellipse = RectOf(arc->TL, arc->BR);
    const double start = AngleOnEllipse(ellipse, arc->start);
    double end = AngleOnEllipse(ellipse, arc->end);
    if (end <= start) {
        end += 360;
    }
    QPainterPath path;
    if (shape == ArcShape::Pie) {
        path.moveTo(ellipse.center());
    } else {
        path.arcMoveTo(ellipse, -start);
    }
    path.arcTo(ellipse, -start, -(end - start));
    if (shape != ArcShape::Open) {
        path.closeSubpath();
    }
    return path;
}

QPainter::CompositionMode RasterModeOf(U32 rasterOperation) {
    switch (rasterOperation) {
    case SRCAND:
        return QPainter::RasterOp_SourceAndDestination;
    case SRCPAINT:
        return QPainter::RasterOp_SourceOrDestination;
    case SRCINVERT:
        return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY:
        return QPainter::RasterOp_NotSource;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// The text's font at a size of reference pixels, scaled to the font height when drawn: a
// painter's font size is whole pixels, the font height a fraction of a device unit.
constexpr int kReferencePixels = 100;

QFont FontOf(const wmfFont* font) {
    QFont qfont(QString::fromUtf8(Cp1252ToUtf8(WMF_FONT_NAME(font) ? WMF_FONT_NAME(font) : "")));
    qfont.setPixelSize(kReferencePixels);
    const int weight = WMF_FONT_WEIGHT(font);
    qfont.setWeight(weight == 0 ? QFont::Normal
                                : static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
    qfont.setItalic(WMF_FONT_ITALIC(font) != 0);
    qfont.setUnderline(WMF_TEXT_UNDERLINE(font) != 0);
    qfont.setStrikeOut(WMF_TEXT_STRIKEOUT(font) != 0);
    return qfont;
}

// A region record's rectangles as one path.
QPainterPath RectanglesOf(const wmfPolyRectangle_t* rectangles) {
    QPainterPath path;
    for (unsigned i = 0; i < rectangles->count; ++i) {
        path.addRect(RectOf(rectangles->TL[i], rectangles->BR[i]));
    }
    return path;
}

// The callbacks that libwmf calls through its function table: C functions of C types only.
extern "C" {

void DeviceNoOp(wmfAPI*) {}
void UserDataNoOp(wmfAPI*, wmfUserData_t*) {}
void FloodNotDrawn(wmfAPI*, wmfFlood_t*) {}

void DrawPixel(wmfAPI* api, wmfDrawPixel_t* pixel) {
    PainterOf(api).fillRect(
        QRectF(PointOf(pixel->pt), QSizeF(pixel->pixel_width, pixel->pixel_height)),
        ColourOf(&pixel->color));
}

void DrawPie(wmfAPI* api, wmfDrawArc_t* arc) {
    FillAndStroke(api, arc->dc, ArcPath(arc, ArcShape::Pie));
}

void DrawChord(wmfAPI* api, wmfDrawArc_t* arc) {
    FillAndStroke(api, arc->dc, ArcPath(arc, ArcShape::Chord));
}

void DrawArc(wmfAPI* api, wmfDrawArc_t* arc) {
    PainterOf(api).strokePath(ArcPath(arc, ArcShape::Open), PenOf(api, arc->dc));
}

void DrawEllipse(wmfAPI* api, wmfDrawArc_t* arc) {
    QPainterPath path;
    path.addEllipse(RectOf(arc->TL, arc->BR));
    FillAndStroke(api, arc->dc, path);
}

void DrawLine(wmfAPI* api, wmfDrawLine_t* line) {
    QPainter& painter = PainterOf(api);
    painter.setPen(PenOf(api, line->dc));
    painter.drawLine(PointOf(line->from), PointOf(line->to));
}

void DrawPolyline(wmfAPI* api, wmfPolyLine_t* line) {
    QPainterPath path;
    path.addPolygon(PolygonOf(line->pt, line->count));
    PainterOf(api).strokePath(path, PenOf(api, line->dc));
}

void DrawPolygon(wmfAPI* api, wmfPolyLine_t* polygon) {
    QPainterPath path;
    path.addPolygon(PolygonOf(polygon->pt, polygon->count));
    path.closeSubpath();
    path.setFillRule(FillRuleOf(polygon->dc));
    FillAndStroke(api, polygon->dc, path);
}

void DrawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* polygons) {
    QPainterPath path;
    for (int i = 0; i < polygons->npoly; ++i) {
        path.addPolygon(PolygonOf(polygons->pt[i], polygons->count[i]));
        path.closeSubpath();
    }
    path.setFillRule(FillRuleOf(polygons->dc));
    FillAndStroke(api, polygons->dc, path);
}

void DrawRectangle(wmfAPI* api, wmfDrawRectangle_t* rectangle) {
    QPainterPath path;
    const QRectF bounds = RectOf(rectangle->TL, rectangle->BR);
    if (rectangle->width > 0 && rectangle->height > 0) {
        // width and height are the axes of the ellipses that round the corners.
        path.addRoundedRect(bounds, rectangle->width / 2, rectangle->height / 2);
    } else {
        path.addRect(bounds);
    }
    FillAndStroke(api, rectangle->dc, path);
}

// Fills a rectangle by a raster operation with the brush: the pattern, black, white, or the
// inverse of what is there.
void DrawRasterOperation(wmfAPI* api, wmfROP_Draw_t* operation) {
    QPainter& painter = PainterOf(api);
    const QRectF bounds = RectOf(operation->TL, operation->BR);
    switch (operation->ROP) {
    case BLACKNESS:
        painter.fillRect(bounds, Qt::black);
        break;
    case WHITENESS:
        painter.fillRect(bounds, Qt::white);
        break;
    case DSTINVERT:
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(bounds, Qt::black);
        painter.restore();
        break;
    default: {
        QPainterPath path;
        path.addRect(bounds);
        wmfDC dc = *operation->dc;
        wmfPen noPen = *WMF_DC_PEN(&dc);
        HidePen(noPen);
        WMF_DC_SET_PEN(&dc, &noPen);
        FillAndStroke(api, &dc, path);
    }
    }
}

void DrawBitmap(wmfAPI* api, wmfBMP_Draw_t* draw) {
    // The part of the bitmap the record names, no more than the bitmap has.
    const int x = std::min<int>(draw->crop.x, draw->bmp.width);
    const int y = std::min<int>(draw->crop.y, draw->bmp.height);
    const int width = std::min<int>(draw->crop.w, draw->bmp.width - x);
    const int height = std::min<int>(draw->crop.h, draw->bmp.height - y);
    const QImage image = ImageOf(api, &draw->bmp, x, y, width, height);
    if (image.isNull()) {
        return;
    }
    QPainter& painter = PainterOf(api);
    painter.save();
    painter.setCompositionMode(RasterModeOf(draw->type));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(
        QRectF(PointOf(draw->pt), QSizeF(width * draw->pixel_width, height * draw->pixel_height)),
        image);
    painter.restore();
}

void ReadBitmap(wmfAPI* api, wmfBMP_Read_t* read) {
    wmf_ipa_bmp_read(api, read);
}

void FreeBitmap(wmfAPI* api, wmfBMP* bitmap) {
    wmf_ipa_bmp_free(api, bitmap);
}

void DrawText(wmfAPI* api, wmfDrawText_t* text) {
    if (text->str == nullptr || text->font_height <= 0) {
        return;
    }
    QPainter& painter = PainterOf(api);
    wmfDC* dc = text->dc;
    if (WMF_DC_OPAQUE(dc)) {
        const QPolygonF box{PointOf(text->bbox.TL), PointOf(text->bbox.TR), PointOf(text->bbox.BR),
                            PointOf(text->bbox.BL)};
        QPainterPath path;
        path.addPolygon(box);
        painter.fillPath(path, ColourOf(WMF_DC_BACKGROUND(dc)));
    }
    painter.save();
    painter.translate(PointOf(text->pt));
    // The escapement is in tenths of a degree, counter-clockwise.
    painter.rotate(-WMF_FONT_ESCAPEMENT(WMF_DC_FONT(dc)) / 10.0);
    const double scale = text->font_height / kReferencePixels;
    painter.scale(scale, scale);
    painter.setFont(FontOf(WMF_DC_FONT(dc)));
    painter.setPen(ColourOf(WMF_DC_TEXTCOLOR(dc)));
    painter.drawText(QPointF(0, 0), QString::fromUtf8(Cp1252ToUtf8(text->str)));
    painter.restore();
}

// Region records: rectangles in device coordinates, framed with a border of the given size or
// filled with the brush, or made the clip (none: no clip).
void FrameRegion(wmfAPI* api, wmfPolyRectangle_t* region) {
    QPainterPath inner;
    for (unsigned i = 0; i < region->count; ++i) {
        inner.addRect(
            RectOf(region->TL[i], region->BR[i])
                .adjusted(region->width, region->height, -region->width, -region->height));
    }
    QPainterPath frame = RectanglesOf(region).subtracted(inner);
    wmfDC dc = *region->dc;
    wmfPen noPen = *WMF_DC_PEN(&dc);
    HidePen(noPen);
    WMF_DC_SET_PEN(&dc, &noPen);
    FillAndStroke(api, &dc, frame);
}

void PaintRegion(wmfAPI* api, wmfPolyRectangle_t* region) {
    wmfDC dc = *region->dc;
    wmfPen noPen = *WMF_DC_PEN(&dc);
    HidePen(noPen);
    WMF_DC_SET_PEN(&dc, &noPen);
    FillAndStroke(api, &dc, RectanglesOf(region));
}

void ClipRegion(wmfAPI* api, wmfPolyRectangle_t* region) {
    QPainter& painter = PainterOf(api);
    if (region->count == 0) {
        painter.setClipping(false);
        return;
    }
    painter.setClipPath(RectanglesOf(region));
}

} // extern "C"

} // namespace

void InstallPainterDevice(wmfAPI* api) {
    auto* device = static_cast<wmfFunctionReference*>(api->function_reference);
    device->device_open = DeviceNoOp;
    device->device_close = DeviceNoOp;
    device->device_begin = DeviceNoOp;
    device->device_end = DeviceNoOp;
    device->flood_interior = FloodNotDrawn;
    device->flood_exterior = FloodNotDrawn;
    device->draw_pixel = DrawPixel;
    device->draw_pie = DrawPie;
    device->draw_chord = DrawChord;
    device->draw_arc = DrawArc;
    device->draw_ellipse = DrawEllipse;
    device->draw_line = DrawLine;
    device->poly_line = DrawPolyline;
    device->draw_polygon = DrawPolygon;
    device->draw_polypolygon = DrawPolyPolygon;
    device->draw_rectangle = DrawRectangle;
    device->rop_draw = DrawRasterOperation;
    device->bmp_draw = DrawBitmap;
    device->bmp_read = ReadBitmap;
    device->bmp_free = FreeBitmap;
    device->draw_text = DrawText;
    device->udata_init = UserDataNoOp;
    device->udata_copy = UserDataNoOp;
    device->udata_set = UserDataNoOp;
    device->udata_free = UserDataNoOp;
    device->region_frame = FrameRegion;
    device->region_paint = PaintRegion;
    device->region_clip = ClipRegion;
    api->device_data = nullptr;
}

void SetDevicePainter(wmfAPI* api, QPainter* painter) {
    api->device_data = painter;
}

} // namespace tavelio
