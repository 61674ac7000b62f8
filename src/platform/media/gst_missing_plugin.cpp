#include "platform/media/gst_missing_plugin.h"

#include <gst/pbutils/missing-plugins.h>
#include <string_view>

namespace tavelio {
namespace {

// The Debian package that holds the decoder or demuxer for a stream type of GStreamer's naming.
std::string PackageFor(const GstStructure* type) {
    const std::string_view name = gst_structure_get_name(type);
    if (name == "audio/mpeg") {
        int version = 1;
        gst_structure_get_int(type, "mpegversion", &version);
        return version == 1 ? "gstreamer1.0-plugins-good" : "gstreamer1.0-libav";
    }
    static constexpr std::pair<std::string_view, std::string_view> kPackages[] = {
        {"audio/x-vorbis", "gstreamer1.0-plugins-base"},
        {"audio/x-opus", "gstreamer1.0-plugins-base"},
        {"video/x-theora", "gstreamer1.0-plugins-base"},
        {"application/ogg", "gstreamer1.0-plugins-base"},
        {"image/jpeg", "gstreamer1.0-plugins-good"},
        {"image/png", "gstreamer1.0-plugins-good"},
        {"audio/x-flac", "gstreamer1.0-plugins-good"},
        {"audio/x-wavpack", "gstreamer1.0-plugins-good"},
        {"video/x-vp8", "gstreamer1.0-plugins-good"},
        {"video/x-vp9", "gstreamer1.0-plugins-good"},
        {"video/x-dv", "gstreamer1.0-plugins-good"},
        {"video/x-msvideocodec", "gstreamer1.0-plugins-good"},
        {"video/x-msvideo", "gstreamer1.0-plugins-good"},
        {"video/quicktime", "gstreamer1.0-plugins-good"},
        {"video/x-matroska", "gstreamer1.0-plugins-good"},
        {"video/x-flv", "gstreamer1.0-plugins-good"},
        {"video/mpegts", "gstreamer1.0-plugins-bad"},
        {"video/x-h265", "gstreamer1.0-libav"},
        {"video/x-h264", "gstreamer1.0-libav"},
    };
    for (const auto& [type_name, package] : kPackages) {
        if (name == type_name) {
            return std::string(package);
        }
    }
    // Old AVI codecs (Cinepak, Indeo, MS Video 1, RLE, DivX, WMV ...) are decoded by libav.
    return "gstreamer1.0-libav";
}

std::string PackageFor(GstMessage* message) {
    const GstStructure* structure = gst_message_get_structure(message);
    const GValue* detail = gst_structure_get_value(structure, "detail");
    if (detail != nullptr && GST_VALUE_HOLDS_CAPS(detail)) {
        const GstCaps* caps = gst_value_get_caps(detail);
        if (!gst_caps_is_empty(caps) && !gst_caps_is_any(caps)) {
            return PackageFor(gst_caps_get_structure(caps, 0));
        }
    }
    return "gstreamer1.0-plugins-bad";
}

} // namespace

std::string MissingPluginText(const std::string& path, const std::vector<GstMessage*>& missing) {
    std::string what;
    std::string packages;
    for (GstMessage* message : missing) {
        gchar* description = gst_missing_plugin_message_get_description(message);
        const std::string package = PackageFor(message);
        what += (what.empty() ? "" : ", ") + std::string(description);
        if (packages.find(package) == std::string::npos) {
            packages += (packages.empty() ? "" : " ") + package;
        }
        g_free(description);
    }
    return "Cannot play \"" + path + "\": " + what + " missing (install " + packages + ")";
}

} // namespace tavelio
