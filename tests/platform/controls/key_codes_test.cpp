#include "platform/controls/key_codes.h"

#include <gtest/gtest.h>
#include <tuple>

namespace tavelio {
namespace {

TEST(KeyCodesTest, QtKeysBecomeVirtualKeyCodes) {
    const std::tuple<int, Qt::KeyboardModifiers, int> cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, 27},    {Qt::Key_Home, Qt::NoModifier, 36},
        {Qt::Key_Left, Qt::NoModifier, 37},      {Qt::Key_Up, Qt::NoModifier, 38},
        {Qt::Key_Right, Qt::NoModifier, 39},     {Qt::Key_Down, Qt::NoModifier, 40},
        {Qt::Key_A, Qt::NoModifier, 65},         {Qt::Key_Z, Qt::ShiftModifier, 90},
        {Qt::Key_0, Qt::NoModifier, 48},         {Qt::Key_9, Qt::NoModifier, 57},
        {Qt::Key_F1, Qt::NoModifier, 112},       {Qt::Key_F12, Qt::NoModifier, 123},
        {Qt::Key_Return, Qt::NoModifier, 13},    {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Space, Qt::NoModifier, 32},     {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_Delete, Qt::NoModifier, 46},    {Qt::Key_PageDown, Qt::NoModifier, 34},
        {Qt::Key_Exclam, Qt::ShiftModifier, 49}, {Qt::Key_ParenRight, Qt::ShiftModifier, 48},
        {Qt::Key_0, Qt::KeypadModifier, 96},     {Qt::Key_9, Qt::KeypadModifier, 105},
        {Qt::Key_Plus, Qt::KeypadModifier, 107}, {Qt::Key_Minus, Qt::NoModifier, 189},
        {Qt::Key_Shift, Qt::ShiftModifier, 16},  {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const auto& [qtKey, modifiers, expected] : cases) {
        EXPECT_EQ(VirtualKeyOf(qtKey, modifiers), expected) << std::hex << qtKey;
    }
}

TEST(KeyCodesTest, TypedCharactersInWindows1252) {
    EXPECT_EQ(Cp1252Char(U'a'), 'a');
    EXPECT_EQ(Cp1252Char(U'\x1b'), '\x1b');
    EXPECT_EQ(Cp1252Char(U'\u00e9'), '\xe9');
    EXPECT_EQ(Cp1252Char(U'\u20ac'), '\x80'); // the euro sign
    EXPECT_EQ(Cp1252Char(U'\u4e2d'), std::nullopt);
}

} // namespace
} // namespace tavelio
