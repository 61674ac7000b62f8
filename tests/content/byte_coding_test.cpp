#include "content/byte_coding.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(ByteCodingTest, StoresContentRotatedLeftByTwoBits) {
    EXPECT_EQ(EncodeByte(9), 0x24); // the TAB that ends a field
    EXPECT_EQ(EncodeByte('a'), 0x85);
    EXPECT_EQ(EncodeByte('b'), 0x89);
    EXPECT_EQ(EncodeByte('c'), 0x8D);
    EXPECT_EQ(EncodeByte(0xC0), 0x03); // the top bits come round to the bottom
    EXPECT_EQ(DecodeByte(0x24), 9);
    EXPECT_EQ(DecodeByte(0x03), 0xC0);
}

TEST(ByteCodingTest, DecodeUndoesEncodeForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(DecodeByte(EncodeByte(byte)), byte);
        EXPECT_EQ(EncodeByte(DecodeByte(byte)), byte);
    }
}

} // namespace
} // namespace tavelio
