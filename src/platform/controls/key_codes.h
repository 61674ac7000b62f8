// Keyboard input in the terms the forms' handlers use: virtual-key codes for keys going down and
// Windows-1252 characters for typed text. The codes are named here once; the key translation, the
// handlers that test for a key and the scenario runner's key names all use these names.
#pragma once

#include <QKeyEvent>
#include <optional>

namespace tavelio {

// Virtual-key codes, by the key (the punctuation keys as a US layout places them). The digit and
// letter keys have no names: their codes are their characters, "0" to "9" and "A" to "Z".
namespace vk {
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kClear = 12;
constexpr int kReturn = 13;
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kAlt = 18;
constexpr int kPause = 19;
constexpr int kCapsLock = 20;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kPageUp = 33;
constexpr int kPageDown = 34;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kSelect = 41;
constexpr int kPrinter = 42;
constexpr int kExecute = 43;
constexpr int kPrintScreen = 44;
constexpr int kInsert = 45;
constexpr int kDelete = 46;
constexpr int kHelp = 47;
constexpr int kLeftWindows = 91;
constexpr int kRightWindows = 92;
constexpr int kMenu = 93;
constexpr int kSleep = 95;
constexpr int kKeypad0 = 96; // the keypad's digits follow, to 105
constexpr int kKeypadMultiply = 106;
constexpr int kKeypadAdd = 107;
constexpr int kKeypadSubtract = 109;
constexpr int kKeypadDecimal = 110;
constexpr int kKeypadDivide = 111;
constexpr int kF1 = 112; // F2 to F24 follow, to 135
constexpr int kNumLock = 144;
constexpr int kScrollLock = 145;
constexpr int kSemicolon = 186;
constexpr int kEquals = 187;
constexpr int kComma = 188;
constexpr int kMinus = 189;
constexpr int kPeriod = 190;
constexpr int kSlash = 191;
constexpr int kBackquote = 192;
constexpr int kLeftBracket = 219;
constexpr int kBackslash = 220;
constexpr int kRightBracket = 221;
constexpr int kQuote = 222;
} // namespace vk

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
