#include "scenario/key_names.h"

#include "platform/controls/key_codes.h"

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

constexpr std::array<std::pair<std::string_view, int>, 17> kNamedKeys{{
    {"Backspace", vk::kBackspace},
    {"Tab", vk::kTab},
    {"Return", vk::kReturn},
    {"Enter", vk::kReturn},
    {"Escape", vk::kEscape},
    {"Esc", vk::kEscape},
    {"Space", vk::kSpace},
    {"PageUp", vk::kPageUp},
    {"PageDown", vk::kPageDown},
    {"End", vk::kEnd},
    {"Home", vk::kHome},
    {"Left", vk::kLeft},
    {"Up", vk::kUp},
    {"Right", vk::kRight},
    {"Down", vk::kDown},
    {"Insert", vk::kInsert},
    {"Delete", vk::kDelete},
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
            return vk::kF1 + number - 1;
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
