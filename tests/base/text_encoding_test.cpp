#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(TextEncodingTest, HighBytesTakeTheirWindows1252Characters) {
    EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\x93quoted\x94"), "\u201Cquoted\u201D");
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Cp1252ToUtf8("\xE9\xFF\xA0"), "\u00E9\u00FF\u00A0");
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("\0", 1)), std::string("\0", 1));
}

TEST(TextEncodingTest, UndefinedBytesBecomeTheirControlCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(TextEncodingTest, EveryByteConvertsThereAndBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(TextEncodingTest, CharactersOutsideWindows1252AreRefusedAndNamed) {
    char32_t refused = 0;
    EXPECT_FALSE(Utf8ToCp1252("ok \u4E2D", &refused));
    EXPECT_EQ(refused, U'\u4E2D');
    EXPECT_FALSE(Utf8ToCp1252("\u0080", &refused)); // a C1 control that 0x80 does not stand for
    EXPECT_EQ(refused, U'\u0080');
    EXPECT_FALSE(Utf8ToCp1252("\U0001F600", &refused));
    EXPECT_EQ(refused, U'\U0001F600');
}

TEST(TextEncodingTest, MalformedUtf8IsRefused) {
    char32_t refused = 0;
    EXPECT_FALSE(Utf8ToCp1252("\xC3", &refused)); // cut short
    EXPECT_EQ(refused, U'\uFFFD');
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF"));     // overlong
    EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(Utf8ToCp1252("\xFF"));
}

} // namespace
} // namespace tavelio
