#include "platform/system/qt_font_installer.h"

#include <QFontDatabase>
#include <QString>

namespace tavelio {

bool QtFontInstaller::Add(const std::string& fontFile) {
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(fontFile));
    if (id < 0) {
        return false;
    }
    ids_[fontFile].push_back(id);
    return true;
}

bool QtFontInstaller::Remove(const std::string& fontFile) {
    const auto found = ids_.find(fontFile);
    if (found == ids_.end()) {
        return false;
    }
    const int id = found->second.back();
    found->second.pop_back();
    if (found->second.empty()) {
        ids_.erase(found);
    }
    return QFontDatabase::removeApplicationFont(id);
}

} // namespace tavelio
