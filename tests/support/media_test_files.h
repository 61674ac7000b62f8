// Small media files that the media tests write for themselves into a folder of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::testing_media {

// A PCM WAV of 16-bit samples (interleaved when channels > 1).
void WriteWav(const std::string& path, std::uint32_t rate, std::uint32_t channels,
              const std::vector<std::int16_t>& samples);

// A WAV of durationMs of a quiet tone, mono 16-bit at rate.
void WriteToneWav(const std::string& path, std::uint32_t durationMs, std::uint32_t rate = 16000);

// Just the headers of an AVI (RIFF, hdrl and avih) with the given frame time and count; enough
// for reading its length, not for decoding.
void WriteAviHeaders(const std::string& path, std::uint32_t microsPerFrame, std::uint32_t frames);

// MPEG-1 layer 3 frame headers at 44.1 kHz and 128 kbit/s (zero payload): when xingFrames > 0,
// first an Info frame recording that frame count and, when encoder is not empty, a LAME tag of
// that encoder name with delay and padding; then frameCount plain frames.
void WriteMp3Headers(const std::string& path, std::uint32_t xingFrames, int delay, int padding,
                     int frameCount, const std::string& encoder = "LAME3.100");

void WriteText(const std::string& path, const std::string& text);

// Runs program with arguments split as a shell would; true when it succeeded.
bool RunTool(const std::string& program, const std::string& arguments);

// Runs gst-launch-1.0 with the pipeline description; true when it succeeded.
bool GstLaunch(const std::string& pipeline);

} // namespace tavelio::testing_media
