#include "content/media_path.h"

namespace tavelio {

std::string MediaPath(const std::string& fromPath, bool fullInstall, bool localInstall,
                      const std::string& fileName) {
    if (fullInstall || localInstall) {
        return ".\\" + fileName;
    }
    return fromPath + "\\" + fileName;
}

} // namespace tavelio
