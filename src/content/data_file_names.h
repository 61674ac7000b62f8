// The names of a book's data files and of what the reader makes from them: every program that
// opens a data folder (the reader, tavelio-book, the benchmarks) spells them from here. The data
// files are opened by bare name in the folder they are read from.
#pragma once

#include <cstdint>
#include <string>

namespace tavelio {

// The database: the encoded handwriting font followed by the encoded page records.
inline constexpr const char* kDatabaseFileName = "QVDB.dat";
// The picture archive that the records' PicOffset and PicSize address.
inline constexpr const char* kPictureArchiveFileName = "Graphics.dat";
// The handwriting font as the database's font block holds it, written under this name into the
// run's temporary directory (and by tavelio-book unpack into a book's sources).
inline constexpr const char* kFontFileName = "ZBM.TTF";
// The family name of that font, which the ruled text lines are drawn in.
inline constexpr const char* kHandwritingFace = "Zaner-Bloser Manuscript";

// The bare name of a book's narration file: "A1Speach" for book 1 and nothing for any other
// book, followed by ".mp3" with the MP3 setting, else ".wav".
std::string NarrationFileName(std::uint8_t bookNo, bool useMp3);

} // namespace tavelio
