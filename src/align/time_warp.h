// Dynamic time warping of the reference speech onto a recording: the monotone match of their
// frames that costs least, where a frame's cost is the distance of its features. Warped coarse to
// fine (each level searches only near the path of the level above), so that time and memory grow
// with the length of the recording, not with its square.
#pragma once

#include "align/speech_features.h"

#include <cstdint>
#include <vector>

namespace tavelio::align {

struct WarpPath {
    // For each reference frame, the first and the last recording frame matched to it.
    std::vector<std::uint32_t> firstMatch;
    std::vector<std::uint32_t> lastMatch;
    // For each reference frame, the mean distance of its matches: low where the two say the
    // same.
    std::vector<float> distance;
};

enum class WarpEnd {
    kAtBothEnds,            // the path ends at the last frames of both
    kWhereTheRecordingEnds, // at the recording's last frame, and wherever suits in the reference
};

// Warps reference onto recording; both must hold at least one frame. The path starts at the
// first frames of both. Reference frames after the path's end (a recording that says less than
// the reference) are matched to the recording's last frame only, at an infinite distance.
WarpPath WarpOnto(const std::vector<FeatureVector>& reference,
                  const std::vector<FeatureVector>& recording, WarpEnd end);

// The distance of two feature vectors, as the warp measures it.
float FeatureDistance(const FeatureVector& a, const FeatureVector& b);

} // namespace tavelio::align
