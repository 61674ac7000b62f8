// Enhanced metafiles (".emf") as pictures: libemf2svg turns the records into SVG, which Qt's SVG
// renderer draws.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

namespace tavelio {

// Draws the metafile at the start of bytes (see metafile_layout.h for what is accepted; bytes
// after its end-of-file record are ignored) at the size of its picture frame, on white. Raises
// EInvalidGraphic "Metafile is not valid" when the file, libemf2svg or the SVG renderer gives up.
QImage DrawEmf(std::span<const std::uint8_t> bytes);

} // namespace tavelio
