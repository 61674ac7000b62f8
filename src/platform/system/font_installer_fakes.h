// A font installer for tests of start-up and shutdown: it keeps a list of the calls made and
// installs nothing.
#pragma once

#include "platform/system/font_installer.h"

#include <string>
#include <utility>
#include <vector>

namespace tavelio {

class RecordingFontInstaller final : public FontInstaller {
public:
    enum class Call { Add, Remove };

    bool Add(const std::string& fontFile) override {
        calls_.emplace_back(Call::Add, fontFile);
        return true;
    }
    bool Remove(const std::string& fontFile) override {
        calls_.emplace_back(Call::Remove, fontFile);
        return true;
    }
    const std::vector<std::pair<Call, std::string>>& Calls() const { return calls_; }

private:
    std::vector<std::pair<Call, std::string>> calls_;
};

} // namespace tavelio
