#include "platform/media/media_backend.h"

namespace tavelio {

std::string CannotOpenMediaText(const std::string& path) {
    return "Cannot open the media file \"" + path + "\"";
}

std::string NotMediaText(const std::string& path) {
    return "The file \"" + path + "\" is not a media file";
}

} // namespace tavelio
