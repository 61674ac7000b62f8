// Forced alignment: where in a recording each fragment and word of its text is said. The text is
// spoken by the reference voice, the synthetic speech is warped onto the recording, and the
// boundaries between fragments are moved into the pauses between them.
#pragma once

#include "align/reading_text.h"

#include <string>
#include <vector>

namespace tavelio::align {

struct AlignedWord {
    std::string text;
    int beginMs = 0;
    int endMs = 0;
};

struct AlignedFragment {
    int page = 0;
    int indexOnPage = 0;
    std::string text;
    int beginMs = 0; // where the fragment's sound begins
    int endMs = 0;   // and ends; never after the next fragment's begin
    // How sure the aligner is that the recording says the fragment here: from 0 (no likeness to
    // the text at all) to 1.
    double confidence = 0.0;
    std::vector<AlignedWord> words;
};

struct Alignment {
    int durationMs = 0;
    std::vector<AlignedFragment> fragments; // in text order
};

struct AlignOptions {
    std::string language = "en-us"; // the reference voice's language
    // Whether a fragment below kLeastConfidence is refused; measurements keep it.
    bool refuseUnfound = true;
};

// Below this confidence a fragment is taken as not said in the recording.
inline constexpr double kLeastConfidence = 0.5;

// Aligns text to the recording at recordingPath. Raises AlignError (without the recording's name)
// when the recording can't be decoded, holds no speech, or (when the options refuse it) does not
// say a fragment: then the
// message names the first such fragment and its best match ("could not find "The cat sat."
// (page 2, fragment 1); best match 0.21").
Alignment AlignRecording(const std::string& recordingPath, const std::vector<TextFragment>& text,
                         const AlignOptions& options);

} // namespace tavelio::align
