#include "align/reading_text.h"

#include "align/align_error.h"

#include <cstddef>

namespace tavelio::align {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Whether bytes is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned int codePoint = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0u) != 0x80u) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const bool overlong =
            (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
        if (overlong || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
            return false;
        }
        i += length;
    }
    return true;
}

std::vector<std::string> Tokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) {
            ++i;
        }
        if (i > start) {
            tokens.emplace_back(line.substr(start, i - start));
        }
    }
    return tokens;
}

} // namespace

std::vector<TextFragment> ReadReadingText(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<TextFragment> fragments;
    int page = 0;
    int onPage = 0;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!IsUtf8(line)) {
            throw AlignError("line " + std::to_string(lineNumber) + " is not UTF-8 text");
        }
        std::vector<std::string> words = Tokens(line);
        if (words.empty()) {
            if (onPage > 0) {
                ++page;
                onPage = 0;
            }
            continue;
        }
        std::string joined = words.front();
        for (std::size_t w = 1; w < words.size(); ++w) {
            joined += ' ';
            joined += words[w];
        }
        fragments.push_back({page, ++onPage, std::move(joined), std::move(words)});
    }
    if (fragments.empty()) {
        throw AlignError("no text to find: every line is empty");
    }
    return fragments;
}

std::string FragmentPlace(const TextFragment& fragment) {
    return "page " + std::to_string(fragment.page) + ", fragment " +
           std::to_string(fragment.indexOnPage);
}

} // namespace tavelio::align
