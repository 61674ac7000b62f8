// A back end that plays in the virtual time of a Clock, for tests and the scenario runner: a
// stretch "plays" for as long as it lasts on that clock and then reports its end, with no sound
// and no picture. It opens the real files, so a missing or unreadable file fails with the same
// text as the real back end, and a file that is neither WAV, AVI nor MP3 is not media. Lengths
// come from the file: WAV from its format and data chunks, AVI from its main header (frame time
// times frame count), MP3 from its Xing/Info frame count when it has one, else from its size and
// the bit rate of its first frame. Only AVI files have video.
#pragma once

#include "platform/media/media_backend.h"
#include "platform/system/clock.h"

namespace tavelio {

// Makes simulated back ends on clock, which must outlive them.
class SimulatedMediaBackendFactory final : public MediaBackendFactory {
public:
    explicit SimulatedMediaBackendFactory(Clock& clock) : clock_(clock) {}
    std::unique_ptr<MediaBackend> Create() override;

private:
    Clock& clock_;
};

} // namespace tavelio
