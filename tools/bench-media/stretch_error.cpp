#include "stretch_error.h"

#include <cmath>
#include <optional>

namespace tavelio::bench {
namespace {

constexpr std::size_t kPiece = 1024;   // samples looked up
constexpr std::int64_t kSearch = 4410; // samples either side of the guess (100 ms at 44.1 kHz)

// The index in signal where piece matches best, near guess, or nothing when no match is good.
std::optional<std::int64_t> Locate(const std::vector<std::int16_t>& signal,
                                   const std::int16_t* piece, std::int64_t guess) {
    double pieceEnergy = 0;
    for (std::size_t i = 0; i < kPiece; ++i) {
        pieceEnergy += double(piece[i]) * piece[i];
    }
    double best = -1;
    std::int64_t bestAt = 0;
    for (std::int64_t at = guess - kSearch; at <= guess + kSearch; ++at) {
        if (at < 0 ||
            at + static_cast<std::int64_t>(kPiece) > static_cast<std::int64_t>(signal.size())) {
            continue;
        }
        double dot = 0;
        double energy = 0;
        for (std::size_t i = 0; i < kPiece; ++i) {
            const double s = signal[static_cast<std::size_t>(at) + i];
            dot += s * piece[i];
            energy += s * s;
        }
        const double score = dot / std::sqrt(energy * pieceEnergy + 1e-9);
        if (score > best) {
            best = score;
            bestAt = at;
        }
    }
    if (best < 0.8) {
        return std::nullopt;
    }
    return bestAt;
}

} // namespace

StretchError MeasureStretch(const std::vector<std::int16_t>& signal, int rate,
                            const std::vector<std::int16_t>& played, int startMs, int endMs) {
    StretchError error;
    if (played.size() < kPiece) {
        return error;
    }
    const double askedStart = double(startMs) * rate / 1000;
    const double askedEnd = double(endMs) * rate / 1000;
    const auto start = Locate(signal, played.data(), std::llround(askedStart));
    const auto last = Locate(signal, played.data() + played.size() - kPiece,
                             std::llround(askedEnd) - static_cast<std::int64_t>(kPiece));
    if (!start || !last) {
        return error;
    }
    error.found = true;
    error.startMs = (double(*start) - askedStart) * 1000 / rate;
    error.endMs = (double(*last + static_cast<std::int64_t>(kPiece)) - askedEnd) * 1000 / rate;
    return error;
}

} // namespace tavelio::bench
