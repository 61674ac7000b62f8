// Decodes any audio file that GStreamer can read (WAV, MP3, FLAC, Ogg Vorbis or Opus, M4A...),
// at any rate and in any channel layout, into mono samples at the rate the caller asks for,
// handed over in pieces so that a long recording is never held whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace tavelio::align {

using SampleSink = std::function<void(const float* samples, std::size_t count)>;

// Decodes the file at path and passes its samples, in order, to sink. Returns the number of
// samples decoded. Raises AlignError (without the file's name, which the caller adds) when the
// file is missing or unreadable, is not audio, cannot be decoded to the end, or holds no sound
// at all.
std::size_t DecodeAudio(const std::string& path, int sampleRate, const SampleSink& sink);

} // namespace tavelio::align
