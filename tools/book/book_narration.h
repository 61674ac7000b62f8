// The narration files of a made book: the author's recording (or her pages' recordings, joined)
// as the reader plays it, in WAV and in MP3.
#pragma once

#include "book/book_source.h"

#include <filesystem>

namespace tavelio::book {

// The narration's sample rate: the reader's and every player's.
inline constexpr int kNarrationRate = 44100;

// Writes the source's narration as 16-bit mono WAV at kNarrationRate into wavPath and as MP3
// (with its encoder delay in the header, so both play the same sound at the same time) into
// mp3Path. A book recording is taken whole; page recordings are joined in page order, with
// pauses between pages made of the recording's own quietest stretch (its room's sound). The loudest
// sample is brought to -1 dBFS. Returns the length in milliseconds. Raises ToolError naming the
// source, the page and the recording when a recording can't be decoded or holds no sound.
int WriteNarration(const BookSource& source, const std::filesystem::path& wavPath,
                   const std::filesystem::path& mp3Path);

} // namespace tavelio::book
