// The fields of a TrueType font's tables that the book's handwriting font changes: its em and
// line metrics (head, hhea, OS/2) and its names (name). Each works on one table's big-endian
// bytes, as a font holds them, and checks every field it touches against the table's length.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tavelio::book {

// A table too short for its fields, or a name table whose records run past it; the message says
// which ("its OS/2 table is too short").
class FontTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The em and the line's vertical metrics, in font units: ascent above the baseline and descent
// below it, both positive.
struct LineMetrics {
    std::uint16_t unitsPerEm = 0;
    std::int16_t ascent = 0;
    std::int16_t descent = 0;
};

// Sets head's unitsPerEm.
void FitHead(std::string& head, const LineMetrics& metrics);
// Sets hhea's ascender, descender and line gap (0).
void FitHhea(std::string& hhea, const LineMetrics& metrics);
// Sets the typographic metrics (line gap 0) and the Windows metrics, and marks the typographic
// ones to be used first (fsSelection bit 7), so that every renderer takes the same line.
void FitOs2(std::string& os2, const LineMetrics& metrics);

// Name IDs with the text each is to have, in UTF-16.
using NameRenaming = std::vector<std::pair<std::uint16_t, std::u16string>>;

// The name table with every record of a renamed ID replaced by one Windows Unicode English
// record of its new text, the other records kept. Records tagged by a language tag (of a format 1
// table) are dropped, as the table written is of format 0.
std::string RenamedNames(const std::string& name, const NameRenaming& renaming);

} // namespace tavelio::book
