// The timeline of a page's narration for an exported read-along book: which element of the page
// is being read at each moment of the page's stretch. Where the page's arrow script says when the
// arrow stands under a word, that word is being read; the rhyme words from the moment they
// appear; each step of a read-through from the moment it comes; otherwise the page's text as a
// whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::book {

// A word on a ruled line as the page shows it: its element id and its edges in page pixels.
struct PlacedWord {
    std::string id;
    double left = 0;
    double right = 0;
};

// What a page offers the timeline to point at.
struct OverlayTargets {
    std::array<std::vector<PlacedWord>, 3> ruledLines; // words of ruled lines 1 to 3
    std::string rhymes;                                // element of the rhyme words, or empty
    std::string whole;                                 // element read when nothing else is
    // The element of each read-through step (step 1 first), or none: the script's read-through is
    // then read as the whole.
    std::vector<std::string> readThroughSteps;
};

// One stretch of narration tied to one element: [beginMs, endMs) of the narration file.
struct OverlayClip {
    std::string textId;
    std::int32_t beginMs = 0;
    std::int32_t endMs = 0;

    bool operator==(const OverlayClip&) const = default;
};

// The clips of a page whose narration runs from speechStart to speechEnd (ms, start <= end) and
// whose script lines are scriptLines: they follow each other without gap or overlap from
// speechStart to speechEnd exactly, consecutive clips of one element are one clip, and none is
// empty. The arrow points at the word on its ruled line whose edges hold the arrow's middle, or
// else the nearest one. A script step past the stretch's end is cut off there. An empty stretch
// gives no clip.
std::vector<OverlayClip> PageOverlay(const std::vector<std::string>& scriptLines,
                                     std::int32_t pageNo, std::int32_t speechStart,
                                     std::int32_t speechEnd, const OverlayTargets& targets);

} // namespace tavelio::book
