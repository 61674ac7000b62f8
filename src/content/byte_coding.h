// The byte encoding of both data files (the database and the picture archive). Every stored byte
// is its content byte rotated left by two bits; reading rotates it back. There is no key, so the
// two functions are exact inverses.
#pragma once

#include <cstdint>

namespace tavelio {

// Stored byte -> content byte: rotate right by two bits.
constexpr std::uint8_t DecodeByte(std::uint8_t stored) {
    return static_cast<std::uint8_t>((stored >> 2) | ((stored << 6) & 0xFF));
}

// Content byte -> stored byte: rotate left by two bits. Used by the tools that write data files.
constexpr std::uint8_t EncodeByte(std::uint8_t content) {
    return static_cast<std::uint8_t>(((content << 2) & 0xFF) | (content >> 6));
}

} // namespace tavelio
