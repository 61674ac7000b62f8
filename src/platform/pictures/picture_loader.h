// Loading a picture file into an image control, the format chosen by the file's extension without
// regard to case: "bmp" (bitmap) and "ico" (icon) through Qt's readers, "jpeg" and "jpg" through
// the libjpeg decoder of jpeg_decoder.h, "wmf" and "emf" (metafiles) drawn at their own size by
// wmf_picture.h and emf_picture.h. A file that goes on past the picture's own end (as the picture
// archive's block copy writes it) loads like the picture alone.
#pragma once

#include "base/errors.h"

#include <QImage>
#include <cstdint>
#include <span>
#include <string>

namespace tavelio {

// A picture file could not be loaded into an image control.
class EInvalidGraphic : public Error {
public:
    using Error::Error;
};

// Returns the picture of the file at path. Raises EInvalidGraphic with "Bitmap image is not
// valid", "Icon image is not valid", "Metafile is not valid", "JPEG error #<n>" (n: libjpeg's
// message code) or "Unknown picture file extension (.<ext>)" with the extension as written (also
// for a name without one, shown as "(.)"); a file that can't be read raises EInOutError. The caller
// keeps the picture it showed when this raises.
QImage LoadPictureFile(const std::string& path);

// The picture that a file of that extension holding bytes loads as, with LoadPictureFile's errors
// (but no EInOutError: nothing is read), for a picture read into memory rather than copied into a
// file first.
QImage LoadPicture(const std::string& extension, std::span<const std::uint8_t> bytes);

// The kind of picture an extension names: the extension without regard to case, so "EMF" and
// "emf" both name "emf".
std::string PictureKind(std::string extension);

// The extension of path as written: what follows the last "." of the file name, empty without one.
std::string PictureExtension(const std::string& path);

// Whether extension (any case) names a metafile, a picture drawn from records ("wmf", "emf"):
// drawing one takes tens of milliseconds, where a page-sized JPEG decodes in a fraction of one.
bool IsMetafileExtension(const std::string& extension);

// Draws the metafile in bytes as the kind extension names (IsMetafileExtension holds), as
// LoadPictureFile does for a file with those bytes.
QImage DrawMetafile(const std::string& extension, std::span<const std::uint8_t> bytes);

} // namespace tavelio
