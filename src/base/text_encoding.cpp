#include "base/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace tavelio {
namespace {

// Characters of the bytes 0x80..0x9F; the undefined bytes map to the C1 control of their value.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 character at pos and advances pos; U+FFFD for a malformed sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    constexpr char32_t kInvalid = 0xFFFD;
    const auto lead = static_cast<std::uint8_t>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return kInvalid;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size()) {
            return kInvalid;
        }
        const auto next = static_cast<std::uint8_t>(text[pos]);
        if ((next & 0xC0) != 0x80) {
            return kInvalid;
        }
        c = (c << 6) | (next & 0x3F);
        ++pos;
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return kInvalid;
    }
    return c;
}

std::optional<char> ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<std::uint8_t>(byte);
        AppendUtf8(out, (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char32_t{b});
    }
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8, char32_t* refused) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Malformed UTF-8 comes back as U+FFFD, which Windows-1252 cannot hold either.
        const char32_t c = NextCodePoint(utf8, pos);
        const auto byte = ToCp1252(c);
        if (!byte) {
            if (refused != nullptr) {
                *refused = c;
            }
            return std::nullopt;
        }
        out.push_back(*byte);
    }
    return out;
}

std::string CodePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

} // namespace tavelio
