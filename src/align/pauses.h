// The pauses of a recording: stretches at least a little longer than the stops inside a word
// where the loudness stays near the room's own noise. The threshold adapts to the recording, so
// a quiet voice in a noisy room and a loud one in a studio are both read right.
#pragma once

#include <cstddef>
#include <vector>

namespace tavelio::align {

struct Pause {
    std::size_t begin; // first silent frame
    std::size_t end;   // first frame after the pause, where sound begins again
};

class Pauses {
public:
    // Finds the pauses in a recording's loudness, one value per frame. Raises AlignError when
    // the recording holds no speech, only silence or a steady noise.
    explicit Pauses(const std::vector<float>& loudnessDb);

    const std::vector<Pause>& All() const { return pauses_; }
    bool IsSilent(std::size_t frame) const { return silent_[frame]; }
    // The pause that holds frame, if any.
    const Pause* At(std::size_t frame) const;

private:
    std::vector<Pause> pauses_;
    std::vector<bool> silent_;
};

} // namespace tavelio::align
