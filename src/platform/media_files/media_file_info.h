// What the first bytes of a media file tell without decoding it: its kind, its length where the
// headers give it, and for MP3 the encoder delay and padding that a LAME header records. Both
// media back ends read it: the simulated one for lengths, the GStreamer one to put MP3 stretches
// on the right samples.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavelio {

enum class MediaFileKind { Wav, Avi, Mp3, Other };

struct MediaFileInfo {
    MediaFileKind kind = MediaFileKind::Other;
    // Length of the content in milliseconds, when the headers give it.
    std::optional<std::int64_t> lengthMs;
    // MP3: sample rate of the first frame; the encoder named in the LAME header ("LAME3.100") and
    // the samples of silence it put before and after the content, when the header records them.
    int sampleRate = 0;
    std::string encoderName;
    std::optional<int> encoderDelay;
    std::optional<int> encoderPadding;
};

// Reads the headers of the file at path. Returns nothing when the file cannot be opened for
// reading or is not a regular file; a read that fails once the file is open raises EInOutError.
//   WAV: "RIFF"/"WAVE" with a "fmt " chunk of non-zero byte rate and a "data" chunk; length is
//        the data size (as far as the file holds it) over the byte rate.
//   AVI: "RIFF"/"AVI " with an "avih" main header; length is microseconds per frame times the
//        frame count, absent when either is 0.
//   MP3: after an optional ID3v2 tag, two consecutive valid MPEG audio frame headers; length from
//        the frame count of a Xing/Info frame (less the LAME delay and padding), else from the
//        frames counted in the file (beyond 64 MiB: from its size and first bit rate).
//   Anything else is Other.
std::optional<MediaFileInfo> ReadMediaFileInfo(const std::string& path);

} // namespace tavelio
