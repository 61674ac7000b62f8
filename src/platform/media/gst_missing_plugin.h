// The text of an Open that failed because GStreamer lacks a plugin for the file: what is missing,
// in GStreamer's own words, and the Debian package that most likely provides it.
#pragma once

#include <gst/gst.h>
#include <string>
#include <vector>

namespace tavelio {

// missing holds GStreamer's missing-plugin messages for the file at path (at least one).
std::string MissingPluginText(const std::string& path, const std::vector<GstMessage*>& missing);

} // namespace tavelio
