#include "book/clip_size.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

namespace tavelio::book {
namespace {

// Long enough for any clip file on a local disk; a file that takes longer is not one to play.
constexpr GstClockTime kDiscoverTimeout = 10 * GST_SECOND;

} // namespace

std::optional<ClipSize> ReadClipSize(const std::filesystem::path& file) {
    gst_init(nullptr, nullptr);
    gchar* uri = gst_filename_to_uri(file.c_str(), nullptr);
    if (uri == nullptr) {
        return std::nullopt;
    }
    GstDiscoverer* discoverer = gst_discoverer_new(kDiscoverTimeout, nullptr);
    GstDiscovererInfo* info =
        discoverer != nullptr ? gst_discoverer_discover_uri(discoverer, uri, nullptr) : nullptr;
    g_free(uri);
    std::optional<ClipSize> size;
    if (info != nullptr && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
        GList* streams = gst_discoverer_info_get_video_streams(info);
        if (streams != nullptr) {
            auto* video = static_cast<GstDiscovererVideoInfo*>(streams->data);
            const int width = static_cast<int>(gst_discoverer_video_info_get_width(video));
            const int height = static_cast<int>(gst_discoverer_video_info_get_height(video));
            if (width > 0 && height > 0) {
                size = ClipSize{width, height};
            }
        }
        gst_discoverer_stream_info_list_free(streams);
    }
    if (info != nullptr) {
        g_object_unref(info);
    }
    if (discoverer != nullptr) {
        g_object_unref(discoverer);
    }
    return size;
}

} // namespace tavelio::book
