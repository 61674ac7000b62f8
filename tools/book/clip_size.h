// The picture size of a clip file, which a clip page's record gives the reader.
#pragma once

#include <filesystem>
#include <optional>

namespace tavelio::book {

struct ClipSize {
    int width = 0;
    int height = 0;
};

// The width and height of the first video stream of the file, as GStreamer decodes it; none
// when the file is not a video GStreamer can play.
std::optional<ClipSize> ReadClipSize(const std::filesystem::path& file);

} // namespace tavelio::book
