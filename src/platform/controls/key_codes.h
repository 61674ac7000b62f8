// Keyboard input in the terms the forms' handlers use: virtual-key codes for keys going down
// (Escape 27, Home 36, Left 37, Up 38, Right 39, Down 40, "0" to "9" 48 to 57, "A" to "Z" 65 to
// 90, F1 to F24 112 to 135, ...) and Windows-1252 characters for typed text.
#pragma once

#include <QKeyEvent>
#include <optional>

namespace tavelio {

// The virtual-key code of a Qt key event, or 0 for a key that has none. Keys are named by the
// key, not by what the shift state types: Shift+1 ("!") is the "1" key (49) on a US layout, and
// the keypad's digits are the numeric-keypad codes 96 to 105.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
inline int VirtualKeyOf(const QKeyEvent& event) {
    return VirtualKeyOf(event.key(), event.modifiers());
}

// The Windows-1252 character for a Unicode code point, or nothing when that character set has
// none.
std::optional<char> Cp1252Char(char32_t codePoint);

} // namespace tavelio
