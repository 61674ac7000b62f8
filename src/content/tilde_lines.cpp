#include "content/tilde_lines.h"

namespace tavelio {

std::vector<std::string> SplitTildeLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t tilde = text.find('~');
        if (tilde == std::string_view::npos) {
            lines.emplace_back(text);
            break;
        }
        lines.emplace_back(text.substr(0, tilde));
        text.remove_prefix(tilde + 1);
    }
    return lines;
}

} // namespace tavelio
