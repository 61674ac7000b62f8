#include "content/number_text.h"

#include <gtest/gtest.h>
#include <string>

namespace tavelio {
namespace {

struct NumberCase {
    std::string text;
    std::int32_t value;
    bool wellFormed = false; // read to its end without an early stop
};

NumberCase Whole(std::string text, std::int32_t value) {
    return {std::move(text), value, true};
}

class TextToNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumberTest, ConvertsAsTheRecordAndScriptReadIt) {
    EXPECT_EQ(TextToNumber(GetParam().text), GetParam().value)
        << "text: \"" << GetParam().text << "\"";
}

// The well-formed forms.
INSTANTIATE_TEST_SUITE_P(
    WellFormed, TextToNumberTest,
    ::testing::Values(Whole("5", 5), Whole(" 5", 5), Whole("   750", 750), Whole("012", 12),
                      Whole("-7", -7), Whole("+7", 7), Whole("-300", -300), Whole("$1F", 31),
                      Whole("$1f4", 500), Whole("0x10", 16), Whole("0X10", 16), Whole("x1F4", 500),
                      Whole("X1F4", 500), Whole("0x1F4", 500), Whole("0", 0), Whole("-0", 0),
                      Whole("2147483647", 2147483647), Whole("-2147483648", INT32_MIN),
                      Whole("$7FFFFFFF", INT32_MAX),
                      // A hexadecimal value is the 32-bit pattern of its digits.
                      Whole("$FFFFFFFF", -1), Whole("$80000000", INT32_MIN),
                      Whole("0x00000001", 1)));

// A malformed text stops at the first character that does not fit and drops the sign.
INSTANTIATE_TEST_SUITE_P(
    EarlyStop, TextToNumberTest,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"   ", 0}, NumberCase{"abc", 0},
                      NumberCase{"12abc", 12}, NumberCase{"-7 ", 7}, NumberCase{"5 ", 5},
                      NumberCase{"-3a", 3}, NumberCase{"12.5", 12}, NumberCase{"-$1F", 0},
                      NumberCase{"-$10", 0}, NumberCase{"-", 0}, NumberCase{"+", 0},
                      NumberCase{"$", 0}, NumberCase{"0x", 0}, NumberCase{"x", 0},
                      NumberCase{"$1G", 1}, NumberCase{"500 and more", 500}, NumberCase{"-0x10", 0},
                      NumberCase{"+-5", 0}, NumberCase{"\t5", 0}, NumberCase{"\r\n2", 0},
                      NumberCase{"0x-5", 0}, NumberCase{"$ 5", 0}, NumberCase{"1 2", 1}));

// Numbers beyond 32 bits: the digit that would leave the range ends the number early.
INSTANTIATE_TEST_SUITE_P(
    BeyondThirtyTwoBits, TextToNumberTest,
    ::testing::Values(NumberCase{"2147483648", 214748364}, NumberCase{"-2147483649", 214748364},
                      NumberCase{"99999999999", 999999999}, NumberCase{"4294967296", 429496729},
                      // The one magnitude that fits only with its sign keeps its bit pattern.
                      NumberCase{"-2147483648x", INT32_MIN}, NumberCase{"$123456789", 0x12345678},
                      NumberCase{"$FFFFFFFFF", -1}, NumberCase{"0x000000001", 0}));

} // namespace
} // namespace tavelio
