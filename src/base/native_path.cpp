#include "base/native_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace tavelio {
namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

// The entry of folder whose name equals name without regard to case, if there is one.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& name) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> matches;
    for (const auto& entry : entries) {
        std::string entryName = entry.path().filename().string();
        if (SameIgnoringCase(entryName, name)) {
            matches.push_back(std::move(entryName));
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    return *std::min_element(matches.begin(), matches.end());
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

std::string ResolveNativePath(const std::string& path) {
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');

    // Walk the components, keeping the resolved prefix. Separators are copied as written.
    std::string resolved;
    bool lost = false; // once a component is not found, nothing below it can be
    std::size_t pos = 0;
    while (pos <= slashed.size()) {
        const std::size_t slash = std::min(slashed.find('/', pos), slashed.size());
        std::string component = slashed.substr(pos, slash - pos);
        const bool special = component.empty() || component == "." || component == "..";
        if (!special && !lost) {
            const std::string folder = resolved;
            if (!Exists(folder + component)) {
                const auto match = FindIgnoringCase(folder, component);
                if (match) {
                    component = *match;
                } else {
                    lost = true;
                }
            }
        }
        resolved += component;
        if (slash == slashed.size()) {
            break;
        }
        resolved += '/';
        pos = slash + 1;
    }
    return resolved;
}

} // namespace tavelio
