#include "align/pauses.h"

#include "align/align_error.h"
#include "align/speech_features.h"

#include <algorithm>

namespace tavelio::align {
namespace {

// Shorter silences are the closures of consonants and the joins of words said together.
constexpr std::size_t kShortestPause = kFramesPerSecond * 12 / 100;
// Speech stands this far above the room's noise at least; a recording with less is only noise.
constexpr float kLeastSpeechOverNoiseDb = 12.0f;
// The softest sounds of speech lie this far below its loud part: in a quiet room the threshold
// stays this close to the speech rather than sinking towards digital silence.
constexpr float kSpeechRangeDb = 35.0f;
// Where between noise and speech the threshold lies.
constexpr float kThresholdShare = 0.3f;
// Where the soft edges of speech around a pause end.
constexpr float kEdgeShare = 0.12f;

float Percentile(std::vector<float> values, double share) {
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.end());
    return values[at];
}

} // namespace

Pauses::Pauses(const std::vector<float>& loudnessDb) : silent_(loudnessDb.size(), true) {
    if (loudnessDb.empty()) {
        throw AlignError("no speech in the recording");
    }
    const float noise = Percentile(loudnessDb, 0.05);
    const float speech = Percentile(loudnessDb, 0.95);
    if (speech - noise < kLeastSpeechOverNoiseDb) {
        throw AlignError("no speech in the recording: it is silent or holds only noise");
    }
    const float threshold =
        std::max(noise + kThresholdShare * (speech - noise), speech - kSpeechRangeDb);
    const float edgeThreshold = noise + kEdgeShare * (speech - noise);
    for (std::size_t frame = 0; frame < loudnessDb.size(); ++frame) {
        silent_[frame] = loudnessDb[frame] < threshold;
    }
    std::size_t frame = 0;
    while (frame < silent_.size()) {
        if (!silent_[frame]) {
            ++frame;
            continue;
        }
        const std::size_t begin = frame;
        while (frame < silent_.size() && silent_[frame]) {
            ++frame;
        }
        // The recording's own start and end count as pauses however short they are.
        if (frame - begin >= kShortestPause || begin == 0 || frame == silent_.size()) {
            // The soft edges of words (a breath of "h", the hiss of an "s") lie under the
            // threshold that finds a pause, but above the room's noise: they are not pause.
            Pause pause{begin, frame};
            while (pause.end > pause.begin + 1 && loudnessDb[pause.end - 1] > edgeThreshold) {
                silent_[--pause.end] = false;
            }
            while (pause.begin + 1 < pause.end && loudnessDb[pause.begin] > edgeThreshold) {
                silent_[pause.begin++] = false;
            }
            pauses_.push_back(pause);
        }
    }
}

const Pause* Pauses::At(std::size_t frame) const {
    const auto after = std::upper_bound(pauses_.begin(), pauses_.end(), frame,
                                        [](std::size_t f, const Pause& p) { return f < p.begin; });
    if (after == pauses_.begin()) {
        return nullptr;
    }
    const Pause& candidate = *(after - 1);
    return frame < candidate.end ? &candidate : nullptr;
}

} // namespace tavelio::align
