// Windows metafiles (".wmf") as pictures: libwmf plays the records through a device that draws
// with a QPainter (wmf_painter_device.h).
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
