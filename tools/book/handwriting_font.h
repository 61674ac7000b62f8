// The handwriting font of a book, made from a TrueType font of the author's choice: the font as
// the database's font block holds it and the reader draws its ruled lines in.
#pragma once

#include <string>

namespace tavelio::book {

// Reads the TrueType font (or OpenType font with TrueType outlines; of a collection, the first)
// at path and returns the bytes of the book's handwriting font made from it:
// - its glyphs for printable ASCII and the Latin-1 letters that the font has, without hinting
//   and without layout features;
// - its name records 0 to 14 (so its copyright, licence and their addresses stay), with the
//   family renamed to kHandwritingFace, the face the reader asks for (a licence such as the OFL
//   reserves the original name for the original font);
// - its em resized so that at the ruled line's face size the font's ascenders (the height of its
//   'l') reach the top rule, with the ascent at the base rule and the descent filling the rest of
//   the ruled line, and no line gap (in hhea, the typographic metrics, which it marks to be used
//   first, and the Windows metrics).
// The same font gives the same bytes. Raises ToolError naming path when the file can't be read,
// is not a TrueType font or has no TrueType outlines (CFF ones are named as such), lacks one of
// the ASCII letters, digits, space or sentence punctuation (the message names them), or makes a
// font larger than the font block (the message gives both sizes and what takes the room).
std::string MakeHandwritingFont(const std::string& path);

} // namespace tavelio::book
