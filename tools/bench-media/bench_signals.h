// The files the media benchmark plays, made by the benchmark itself in a folder of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::bench {

// Band-limited noise (white noise through a low-pass at about 4 kHz), mono, 16-bit: every stretch
// of it is unlike every other, so a piece of played sound tells where in the signal it came from,
// also after lossy coding.
std::vector<std::int16_t> MakeNoiseSignal(std::uint32_t rate, std::uint32_t seconds,
                                          std::uint32_t seed);

void WriteWav(const std::string& path, std::uint32_t rate,
              const std::vector<std::int16_t>& samples);

// Runs a gst-launch style pipeline description to its end; the error text, or "" on success.
std::string RunPipeline(const std::string& description);

// Encodes the WAV at wavPath to MP3 at 128 kbit/s with the lame program, which writes a LAME
// header recording the encoder delay. False when the program is not there or fails.
bool EncodeWithLameProgram(const std::string& wavPath, const std::string& mp3Path);

} // namespace tavelio::bench
