// Windows metafiles (".wmf") as pictures: libwmf plays the records through a device that draws
// with a QPainter (wmf_painter_device.h). libwmf's own devices won't do: its SVG device writes each
// bitmap's place twice (as the image's position and size and again as a transform), so every
// bitmap lands outside the picture, and its gd device draws without smoothing.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

namespace tavelio {

// Draws the metafile at the start of bytes (see metafile_layout.h for what is accepted; bytes
// after its end-of-file record are ignored) at its own size, on white, antialiased.
// Raises EInvalidGraphic "Metafile is not valid" when the file or libwmf gives up.
QImage DrawWmf(std::span<const std::uint8_t> bytes);

} // namespace tavelio
