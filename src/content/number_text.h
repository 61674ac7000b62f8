// The number conversion used for the record's number fields and for the page script's lines.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavelio {

// Converts text into a signed 32-bit number:
//   - leading blanks (code 32 only) are skipped;
//   - then "+" or "-" followed by decimal digits, plain decimal digits, or a hexadecimal mark
//     ("$", "x", "X", "0x", "0X") followed by hexadecimal digits of either case (no sign);
//   - a well-formed text gives its value; a hexadecimal value is the 32-bit pattern of its digits;
//   - at the first character that does not fit, or when the text ends right after the sign or
//     the mark, conversion stops and gives the digits read so far WITHOUT the sign (0 if none).
// Numbers beyond 32 bits stop the same way: a decimal digit that would carry the value out of the
// signed 32-bit range, or a ninth hexadecimal digit, counts as a character that does not fit.
// The one magnitude that fits only with its sign, 2147483648 after "-", gives -2147483648 also
// when it stops early (its 32-bit pattern). Nothing is reported; every text has a value.
std::int32_t TextToNumber(std::string_view text);

// Whether TextToNumber reads the whole text: at least one digit and no early stop. Tools that
// check data use it to tell a number from a text that only converts to one.
bool IsWellFormedNumber(std::string_view text);

} // namespace tavelio
