// Readings with known word times, made for measuring the aligner: texts of our own said by
// festival's HTS voice (not the aligner's reference voice), slowed with sox's tempo change where
// asked, laid out with pauses of known length and mixed with room noise.
#pragma once

#include "align/reading_text.h"

#include <string>
#include <vector>

namespace tavelio::bench_align {

struct KnownWord {
    double beginMs;
    double endMs;
};

struct TestReading {
    std::string recordingPath;
    std::vector<align::TextFragment> text;
    std::vector<std::vector<KnownWord>> words; // per fragment, as said in the recording
    double durationMs = 0.0;
};

// Says every fragment of text into folder and lays out the recording at recordingName: stretch
// is the tempo factor (1 as said, 1.4 for 40 % slower speech); repeats says the whole text that
// many times over. Raises std::runtime_error when festival or sox fails.
TestReading MakeTestReading(const std::string& folder, const std::string& recordingName,
                            const std::vector<align::TextFragment>& text, double stretch,
                            int repeats);

} // namespace tavelio::bench_align
