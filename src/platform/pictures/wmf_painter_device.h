// A libwmf drawing device that draws with a QPainter. libwmf reads the records and keeps the
// drawing state (pens, brushes, fonts, mapping modes, clipping); the device gets shapes, text and
// bitmaps in libwmf's device coordinates, which the painter's transform maps onto the picture.
// Shapes are drawn as GDI draws them, antialiased; flood fills are not drawn.
#pragma once

class QPainter;
typedef struct _wmfAPI wmfAPI;

namespace tavelio {

// For wmfAPI_Options::function: makes a new libwmf session draw through this device.
void InstallPainterDevice(wmfAPI* api);

// The painter the session draws with from now on; it must outlive the session's playing.
void SetDevicePainter(wmfAPI* api, QPainter* painter);

} // namespace tavelio
