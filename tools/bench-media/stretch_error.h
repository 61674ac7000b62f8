// Where a played stretch really began and ended in the signal it was cut from.
#pragma once

#include <cstdint>
#include <vector>

namespace tavelio::bench {

struct StretchError {
    double startMs = 0; // played start minus asked start; negative: began early
    double endMs = 0;   // played end minus asked end; negative: ended early
    bool found = false; // false when the played sound matched no part of the signal
};

// played: the samples that reached the output, in order. The first and last piece of it are
// looked up in signal near the asked positions (by normalised cross-correlation), which gives
// the signal sample where playing began and the one after where it ended.
StretchError MeasureStretch(const std::vector<std::int16_t>& signal, int rate,
                            const std::vector<std::int16_t>& played, int startMs, int endMs);

} // namespace tavelio::bench
