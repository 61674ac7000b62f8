// tavelio-book unpack: a manifest, the font and the pictures from a book's data files.
#pragma once

#include <ostream>
#include <string>

namespace tavelio::book {

// Loads folder/QVDB.dat with the program's own reader and folder/Graphics.dat, and writes into
// outFolder (made when missing, and removed again when the unpack fails) book.json, the font
// ZBM.TTF (the whole font block) and every picture under pictures/ (exactly PicSize bytes from
// PicOffset; pages sharing a picture share its file). Packing book.json gives the same page table
// and picture bytes, and the same data files byte for byte when they were written by pack. Where
// the archive is not laid out as pack lays it out (pictures in page order, each once, nothing
// else), the manifest keeps the whole archive as Graphics.bin and the pages' PicOffset and PicSize
// as numbers, so that the page table stays exact; the picture files are then for looking at. Notes
// go to out. A folder that is missing or not a folder raises ToolError before anything is made.
void RunUnpack(const std::string& folder, const std::string& outFolder, std::ostream& out);

} // namespace tavelio::book
