// Conversion between the Windows-1252 bytes of record strings and UTF-8 text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavelio {

// Windows-1252 bytes -> UTF-8. Bytes 0x80..0x9F take their Windows-1252 characters (0x80 is the
// euro sign); the five that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
// U+0081 and so on, so that every byte string converts and converts back exactly.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 -> Windows-1252 bytes, the exact inverse of Cp1252ToUtf8. Returns nothing when the text
// holds a character that Windows-1252 cannot store, or is not valid UTF-8; then *refused (when
// given) is that character (U+FFFD for invalid UTF-8).
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, char32_t* refused = nullptr);

// How a person names a character in a message: "U+4E00".
std::string CodePointName(char32_t c);

} // namespace tavelio
