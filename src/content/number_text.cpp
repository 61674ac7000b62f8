#include "content/number_text.h"

namespace tavelio {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

constexpr int kMaxHexDigits = 8;

struct Conversion {
    std::int32_t value;
    bool wellFormed;
};

Conversion Convert(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }

    bool negative = false;
    bool hex = false;
    if (pos < text.size()) {
        const char first = text[pos];
        if (first == '-' || first == '+') {
            negative = first == '-';
            ++pos;
        } else if (first == '$' || first == 'x' || first == 'X') {
            hex = true;
            ++pos;
        } else if (first == '0' && pos + 1 < text.size() &&
                   (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
            hex = true;
            pos += 2;
        }
    }

    // The magnitude is kept unsigned so that neither form can overflow a signed type; the limit
    // lets "-2147483648" through but stops "2147483648".
    const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
    std::uint32_t magnitude = 0;
    int digits = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (hex) {
            const int value = HexDigitValue(c);
            if (value < 0 || digits == kMaxHexDigits) {
                return {static_cast<std::int32_t>(magnitude), false};
            }
            magnitude = magnitude * 16 + static_cast<std::uint32_t>(value);
        } else {
            if (c < '0' || c > '9') {
                return {static_cast<std::int32_t>(magnitude), false};
            }
            const auto value = static_cast<std::uint32_t>(c - '0');
            if (magnitude > (limit - value) / 10) {
                return {static_cast<std::int32_t>(magnitude), false};
            }
            magnitude = magnitude * 10 + value;
        }
        ++digits;
    }
    if (digits == 0) {
        return {0, false};
    }
    return {static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude), true};
}

} // namespace

std::int32_t TextToNumber(std::string_view text) {
    return Convert(text).value;
}

bool IsWellFormedNumber(std::string_view text) {
    return Convert(text).wellFormed;
}

} // namespace tavelio
