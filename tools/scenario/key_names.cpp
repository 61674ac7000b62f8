#include "key_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace tavelio {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int kF1 = 112;

constexpr std::array<std::pair<std::string_view, int>, 17> kNamedKeys{{
    {"Backspace", 8},
    {"Tab", 9},
    {"Return", 13},
    {"Enter", 13},
    {"Escape", 27},
    {"Esc", 27},
    {"Space", 32},
    {"PageUp", 33},
    {"PageDown", 34},
    {"End", 35},
    {"Home", 36},
    {"Left", 37},
    {"Up", 38},
    {"Right", 39},
    {"Down", 40},
    {"Insert", 45},
    {"Delete", 46},
}};

} // namespace

std::optional<int> VirtualKeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c)) {
            return std::toupper(c);
        }
        if (IsDigit(name[0])) {
            return name[0];
        }
        return std::nullopt;
    }
    for (const auto& [keyName, code] : kNamedKeys) {
        if (SameLetters(name, keyName)) {
            return code;
        }
    }
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3 &&
        std::all_of(name.begin() + 1, name.end(), IsDigit)) {
        int number = 0;
        std::from_chars(name.data() + 1, name.data() + name.size(), number);
        if (number >= 1 && number <= 12 && name[1] != '0') {
            return kF1 + number - 1;
        }
        return std::nullopt;
    }
    if (!name.empty() && std::all_of(name.begin(), name.end(), IsDigit) && name.size() <= 3) {
        int code = 0;
        std::from_chars(name.data(), name.data() + name.size(), code);
        if (code <= 255) {
            return code;
        }
    }
    return std::nullopt;
}

} // namespace tavelio
