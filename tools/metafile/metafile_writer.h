// Writing recorded shapes as metafiles through libUEMF: a Windows metafile with a placeable header
// (".wmf") or an enhanced metafile (".emf"), each the size of the recording at 96 pixels per inch.
// Every shape becomes one polygon set filled with a solid brush and no pen; curves are flattened
// at a sixteenth of a pixel, which the file's logical units resolve.
#pragma once

#include "metafile/shape_recorder.h"

#include <string>

namespace tavelio::metafile {

// Both raise std::runtime_error naming what went wrong when the file can't be written.
void WriteWmf(const std::string& path, const ShapeRecorder& recording);
void WriteEmf(const std::string& path, const ShapeRecorder& recording);

} // namespace tavelio::metafile
