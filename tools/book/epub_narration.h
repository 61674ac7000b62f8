// The narration of an exported book: the book's WAV narration encoded as MP3, the format every
// reading system plays.
#pragma once

#include <cstdint>
#include <string>

namespace tavelio::book {

struct EncodedNarration {
    std::string mp3;
    std::int64_t lengthMs = 0; // of the WAV narration, which the pages' stretches count in
};

// Reads the WAV file at wavPath and encodes it as a constant-rate MP3 whose first frame carries
// the encoder's delay and padding (the LAME header), so that a decoder that honours them, as
// browsers and reading systems do, gives the sound at time t of the WAV file at time t of the
// MP3 file. Raises ToolError naming wavPath when it can't be read as sound of one or two channels.
EncodedNarration EncodeNarration(const std::string& wavPath);

} // namespace tavelio::book
