#include "align/time_warp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tavelio::align {
namespace {

// Each level has a quarter of the frames of the one below; the top level is small enough for a
// search over every pair of frames, or else over a band around the diagonal.
constexpr std::size_t kLevelFactor = 4;
constexpr std::size_t kCellsAtTop = 16'000'000;
// How far, in frames of its own level, a level searches beside the path of the level above.
constexpr std::size_t kRadius = 30;

using Features = std::vector<FeatureVector>;

// The columns (recording frames) that one row (reference frame) may match.
struct Span {
    std::size_t lo;
    std::size_t hi; // inclusive
};

Features Coarsen(const Features& frames, std::size_t factor) {
    Features coarse((frames.size() + factor - 1) / factor, FeatureVector{});
    for (std::size_t block = 0; block < coarse.size(); ++block) {
        const std::size_t begin = block * factor;
        const std::size_t end = std::min(begin + factor, frames.size());
        for (std::size_t k = begin; k < end; ++k) {
            for (std::size_t c = 0; c < kCepstra; ++c) {
                coarse[block][c] += frames[k][c];
            }
        }
        for (float& value : coarse[block]) {
            value /= static_cast<float>(end - begin);
        }
    }
    return coarse;
}

// Every pair, or a band around the diagonal holding about kCellsAtTop cells.
std::vector<Span> TopWindow(std::size_t rows, std::size_t columns) {
    std::vector<Span> window(rows);
    const std::size_t halfWidth =
        rows * columns <= kCellsAtTop ? columns : std::max<std::size_t>(kCellsAtTop / rows / 2, 4);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t diagonal = rows > 1 ? i * (columns - 1) / (rows - 1) : 0;
        window[i].lo = diagonal > halfWidth ? diagonal - halfWidth : 0;
        window[i].hi = std::min(columns - 1, diagonal + halfWidth);
    }
    return window;
}

// The window of a level from the path of the level above: the cells under the coarse path,
// widened by kRadius on every side. It ends with the rows under the coarse path's last row.
std::vector<Span> WindowAround(const std::vector<std::pair<std::size_t, std::size_t>>& coarsePath,
                               std::size_t factor, std::size_t levelRows, std::size_t columns) {
    const std::size_t rows = std::min(levelRows, (coarsePath.back().first + 1) * factor);
    std::vector<Span> under(rows, Span{std::numeric_limits<std::size_t>::max(), 0});
    for (const auto& [coarseRow, coarseColumn] : coarsePath) {
        const std::size_t columnLo = coarseColumn * factor;
        const std::size_t columnHi = std::min(columns - 1, columnLo + factor - 1);
        for (std::size_t i = coarseRow * factor; i < std::min(rows, (coarseRow + 1) * factor);
             ++i) {
            under[i].lo = std::min(under[i].lo, columnLo);
            under[i].hi = std::max(under[i].hi, columnHi);
        }
    }
    // Both edges of the cells under a monotone path rise with the row, so the widest reach of
    // the rows within kRadius is that of the first and the last of them.
    std::vector<Span> window(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const Span& before = under[i >= kRadius ? i - kRadius : 0];
        const Span& after = under[std::min(rows - 1, i + kRadius)];
        window[i].lo = before.lo > kRadius ? before.lo - kRadius : 0;
        window[i].hi = std::min(columns - 1, after.hi + kRadius);
    }
    return window;
}

// The least-cost monotone path through window (one span for each of the first rows of reference)
// from (0, 0) to the recording's last frame. With mayEndEarly the path may end before the
// reference does, where its cost per step is least: a recording cut short says only the first
// part of the text.
std::vector<std::pair<std::size_t, std::size_t>> CheapestPath(const Features& reference,
                                                              const Features& recording,
                                                              std::vector<Span> window,
                                                              bool mayEndEarly) {
    const std::size_t rows = window.size();
    const std::size_t lastColumn = recording.size() - 1;
    window.front().lo = 0;
    window.back().hi = lastColumn;
    // Where each cell was reached from, stored row after row for the walk back.
    enum Step : std::uint8_t { kDiagonal, kFromAbove, kFromLeft };
    std::vector<std::size_t> rowStart(rows + 1, 0);
    for (std::size_t i = 0; i < rows; ++i) {
        rowStart[i + 1] = rowStart[i] + (window[i].hi - window[i].lo + 1);
    }
    std::vector<std::uint8_t> steps(rowStart[rows]);
    constexpr float kUnreached = std::numeric_limits<float>::infinity();
    std::vector<float> above;
    std::vector<float> current;
    std::size_t endRow = rows - 1;
    double endCostPerStep = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < rows; ++i) {
        const Span span = window[i];
        current.assign(span.hi - span.lo + 1, kUnreached);
        const Span* upper = i > 0 ? &window[i - 1] : nullptr;
        const auto costAbove = [&](std::size_t j) {
            return upper != nullptr && j >= upper->lo && j <= upper->hi ? above[j - upper->lo]
                                                                        : kUnreached;
        };
        for (std::size_t j = span.lo; j <= span.hi; ++j) {
            const float local = FeatureDistance(reference[i], recording[j]);
            float best = kUnreached;
            Step step = kDiagonal;
            if (i == 0 && j == 0) {
                best = 0.0f;
            } else {
                if (j > 0) {
                    best = costAbove(j - 1);
                }
                if (const float fromAbove = costAbove(j); fromAbove < best) {
                    best = fromAbove;
                    step = kFromAbove;
                }
                if (j > span.lo && current[j - 1 - span.lo] < best) {
                    best = current[j - 1 - span.lo];
                    step = kFromLeft;
                }
            }
            current[j - span.lo] = best + local;
            steps[rowStart[i] + (j - span.lo)] = step;
        }
        if (span.hi == lastColumn && (mayEndEarly || i + 1 == rows)) {
            const double perStep = current.back() / static_cast<double>(i + lastColumn + 1);
            if (perStep <= endCostPerStep) {
                endCostPerStep = perStep;
                endRow = i;
            }
        }
        std::swap(above, current);
    }
    std::vector<std::pair<std::size_t, std::size_t>> path;
    std::size_t i = endRow;
    std::size_t j = lastColumn;
    while (true) {
        path.emplace_back(i, j);
        if (i == 0 && j == 0) {
            break;
        }
        switch (steps[rowStart[i] + (j - window[i].lo)]) {
        case kDiagonal:
            --i;
            --j;
            break;
        case kFromAbove:
            --i;
            break;
        case kFromLeft:
            --j;
            break;
        }
    }
    std::reverse(path.begin(), path.end());
    return path;
}

} // namespace

float FeatureDistance(const FeatureVector& a, const FeatureVector& b) {
    float sum = 0.0f;
    for (std::size_t c = 0; c < kCepstra; ++c) {
        const float difference = a[c] - b[c];
        sum += difference * difference;
    }
    return std::sqrt(sum);
}

WarpPath WarpOnto(const Features& reference, const Features& recording, WarpEnd end) {
    const bool mayEndEarly = end == WarpEnd::kWhereTheRecordingEnds;
    // The pyramid of both, finest first.
    std::vector<std::pair<Features, Features>> levels;
    levels.emplace_back(reference, recording);
    while (levels.back().first.size() * levels.back().second.size() > kCellsAtTop &&
           levels.back().first.size() > kLevelFactor * kRadius &&
           levels.back().second.size() > kLevelFactor * kRadius) {
        levels.emplace_back(Coarsen(levels.back().first, kLevelFactor),
                            Coarsen(levels.back().second, kLevelFactor));
    }
    const auto& [topReference, topRecording] = levels.back();
    auto path = CheapestPath(topReference, topRecording,
                             TopWindow(topReference.size(), topRecording.size()), mayEndEarly);
    for (std::size_t level = levels.size() - 1; level-- > 0;) {
        const auto& [levelReference, levelRecording] = levels[level];
        path = CheapestPath(
            levelReference, levelRecording,
            WindowAround(path, kLevelFactor, levelReference.size(), levelRecording.size()),
            mayEndEarly);
    }

    // The reference after the path's end is matched to nothing but the recording's end.
    const auto recordingEnd = static_cast<std::uint32_t>(recording.size() - 1);
    WarpPath warp;
    warp.firstMatch.assign(reference.size(), recordingEnd);
    warp.lastMatch.assign(reference.size(), recordingEnd);
    warp.distance.assign(reference.size(), std::numeric_limits<float>::infinity());
    for (std::size_t i = 0; i <= path.back().first; ++i) {
        warp.firstMatch[i] = std::numeric_limits<std::uint32_t>::max();
        warp.lastMatch[i] = 0;
        warp.distance[i] = 0.0f;
    }
    std::vector<std::uint32_t> matches(reference.size(), 0);
    for (const auto& [i, j] : path) {
        const auto column = static_cast<std::uint32_t>(j);
        warp.firstMatch[i] = std::min(warp.firstMatch[i], column);
        warp.lastMatch[i] = std::max(warp.lastMatch[i], column);
        warp.distance[i] += FeatureDistance(reference[i], recording[j]);
        ++matches[i];
    }
    for (std::size_t i = 0; i <= path.back().first; ++i) {
        warp.distance[i] /= static_cast<float>(matches[i]);
    }
    return warp;
}

} // namespace tavelio::align
