// The record text rules on any bytes: Windows-1252 and UTF-8 convert back exactly; the "~" lines
// join back into the text they were split from; the number rule agrees with a plain reading of
// the numbers it calls well formed, and reads back every number it is given as text.
#include "base/text_encoding.h"
#include "content/number_text.h"
#include "content/tilde_lines.h"
#include "fuzz_check.h"

#include <charconv>
#include <cstring>

namespace tavelio::fuzz {
namespace {

void CheckEncodings(std::string_view bytes) {
    const auto back = Utf8ToCp1252(Cp1252ToUtf8(bytes));
    FUZZ_CHECK(back && *back == bytes);
    char32_t refused = 0;
    if (const auto cp1252 = Utf8ToCp1252(bytes, &refused)) {
        FUZZ_CHECK(Cp1252ToUtf8(*cp1252) == bytes);
    } else {
        FUZZ_CHECK(refused != 0);
    }
}

void CheckTildeLines(std::string_view text) {
    const std::vector<std::string> lines = SplitTildeLines(text);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        joined += (i == 0 ? "" : "~") + lines[i];
    }
    if (text.ends_with('~')) {
        joined += '~';
    }
    FUZZ_CHECK(joined == text);
}

// The value of a well-formed number text, read with the standard library.
std::int32_t PlainReading(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    int base = 10;
    for (const std::string_view mark : {"0x", "0X", "$", "x", "X"}) {
        if (text.starts_with(mark)) {
            text.remove_prefix(mark.size());
            base = 16;
            break;
        }
    }
    if (base == 16) {
        std::uint32_t pattern = 0;
        std::from_chars(text.data(), text.data() + text.size(), pattern, 16);
        return static_cast<std::int32_t>(pattern);
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    std::int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void CheckNumberRule(std::string_view text) {
    const std::int32_t value = TextToNumber(text);
    if (IsWellFormedNumber(text)) {
        FUZZ_CHECK(value == PlainReading(text), std::string(text));
    }
    FUZZ_CHECK(TextToNumber(std::to_string(value)) == value);
    FUZZ_CHECK(IsWellFormedNumber(std::to_string(value)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = Bytes(data, size);
    CheckEncodings(text);
    CheckTildeLines(text);
    CheckNumberRule(text);
    return 0;
}

} // namespace tavelio::fuzz
