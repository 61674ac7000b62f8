#include "platform/controls/key_codes.h"

#include "base/text_encoding.h"

#include <string>
#include <unordered_map>

namespace tavelio {
namespace {

// Keys whose code does not follow from a range.
const std::unordered_map<int, int>& FixedKeys() {
    static const std::unordered_map<int, int> keys = {
        {Qt::Key_Backspace, vk::kBackspace},
        {Qt::Key_Tab, vk::kTab},
        {Qt::Key_Backtab, vk::kTab},
        {Qt::Key_Clear, vk::kClear},
        {Qt::Key_Return, vk::kReturn},
        {Qt::Key_Enter, vk::kReturn},
        {Qt::Key_Shift, vk::kShift},
        {Qt::Key_Control, vk::kControl},
        {Qt::Key_Alt, vk::kAlt},
        {Qt::Key_AltGr, vk::kAlt},
        {Qt::Key_Pause, vk::kPause},
        {Qt::Key_CapsLock, vk::kCapsLock},
        {Qt::Key_Escape, vk::kEscape},
        {Qt::Key_Space, vk::kSpace},
        {Qt::Key_PageUp, vk::kPageUp},
        {Qt::Key_PageDown, vk::kPageDown},
        {Qt::Key_End, vk::kEnd},
        {Qt::Key_Home, vk::kHome},
        {Qt::Key_Left, vk::kLeft},
        {Qt::Key_Up, vk::kUp},
        {Qt::Key_Right, vk::kRight},
        {Qt::Key_Down, vk::kDown},
        {Qt::Key_Select, vk::kSelect},
        {Qt::Key_Printer, vk::kPrinter},
        {Qt::Key_Execute, vk::kExecute},
        {Qt::Key_Print, vk::kPrintScreen},
        {Qt::Key_Insert, vk::kInsert},
        {Qt::Key_Delete, vk::kDelete},
        {Qt::Key_Help, vk::kHelp},
        {Qt::Key_Meta, vk::kLeftWindows},
        {Qt::Key_Super_L, vk::kLeftWindows},
        {Qt::Key_Super_R, vk::kRightWindows},
        {Qt::Key_Menu, vk::kMenu},
        {Qt::Key_Sleep, vk::kSleep},
        {Qt::Key_NumLock, vk::kNumLock},
        {Qt::Key_ScrollLock, vk::kScrollLock},
        // Punctuation keys of a US layout, shifted or not.
        {Qt::Key_Semicolon, vk::kSemicolon},
        {Qt::Key_Colon, vk::kSemicolon},
        {Qt::Key_Equal, vk::kEquals},
        {Qt::Key_Plus, vk::kEquals},
        {Qt::Key_Comma, vk::kComma},
        {Qt::Key_Less, vk::kComma},
        {Qt::Key_Minus, vk::kMinus},
        {Qt::Key_Underscore, vk::kMinus},
        {Qt::Key_Period, vk::kPeriod},
        {Qt::Key_Greater, vk::kPeriod},
        {Qt::Key_Slash, vk::kSlash},
        {Qt::Key_Question, vk::kSlash},
        {Qt::Key_QuoteLeft, vk::kBackquote},
        {Qt::Key_AsciiTilde, vk::kBackquote},
        {Qt::Key_BracketLeft, vk::kLeftBracket},
        {Qt::Key_BraceLeft, vk::kLeftBracket},
        {Qt::Key_Backslash, vk::kBackslash},
        {Qt::Key_Bar, vk::kBackslash},
        {Qt::Key_BracketRight, vk::kRightBracket},
        {Qt::Key_BraceRight, vk::kRightBracket},
        {Qt::Key_Apostrophe, vk::kQuote},
        {Qt::Key_QuoteDbl, vk::kQuote},
        // The shifted digits of a US layout are their digit keys.
        {Qt::Key_Exclam, '1'},
        {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'},
        {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'},
        {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},
        {Qt::Key_ParenRight, '0'},
    };
    return keys;
}

// The numeric keypad's own codes (with Num Lock on, as Qt reports the keypad digits).
int KeypadKey(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return vk::kKeypad0 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return vk::kKeypadMultiply;
    case Qt::Key_Plus:
        return vk::kKeypadAdd;
    case Qt::Key_Minus:
        return vk::kKeypadSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vk::kKeypadDecimal;
    case Qt::Key_Slash:
        return vk::kKeypadDivide;
    default:
        return 0;
    }
}

} // namespace

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const int keypad = KeypadKey(qtKey); keypad != 0) {
            return keypad;
        }
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return qtKey; // Qt's codes of digits and letters are the virtual-key codes
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return vk::kF1 + (qtKey - Qt::Key_F1);
    }
    const auto found = FixedKeys().find(qtKey);
    return found != FixedKeys().end() ? found->second : 0;
}

std::optional<char> Cp1252Char(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<char>(codePoint);
    }
    const QString text = QString::fromUcs4(&codePoint, 1);
    const std::optional<std::string> bytes = Utf8ToCp1252(text.toStdString());
    if (!bytes || bytes->size() != 1) {
        return std::nullopt;
    }
    return bytes->front();
}

} // namespace tavelio
