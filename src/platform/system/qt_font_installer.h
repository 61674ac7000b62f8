// Fonts installed as application fonts of the running Qt application: they are usable by the
// program's widgets by family name and by nothing else on the system, and they go with the
// program. Needs a QGuiApplication, which must outlive the installer.
#pragma once

#include "platform/system/font_installer.h"

#include <map>
#include <string>
#include <vector>

namespace tavelio {

class QtFontInstaller final : public FontInstaller {
public:
    QtFontInstaller() = default;
    QtFontInstaller(const QtFontInstaller&) = delete;
    QtFontInstaller& operator=(const QtFontInstaller&) = delete;

    // Adding one file twice installs it twice; each Remove withdraws the latest installation.
    bool Add(const std::string& fontFile) override;
    bool Remove(const std::string& fontFile) override;

private:
    std::map<std::string, std::vector<int>> ids_; // application font ids by file, oldest first
};

} // namespace tavelio
