// The back end that really plays, on GStreamer: one playbin per open file. Audio goes to the
// system's default output, or, on a machine without one, to a silent output that keeps the same
// time; video goes into the player's VideoDisplay. Stretches play by an accurate flushing seek with
// a stop position and end at the end-of-stream of that segment. MP3 files are shifted by the
// encoder and decoder delay their LAME header records, so that their stretches start and end on
// the same samples as in a WAV. Open waits for the first frame to be ready, but not longer than
// the options allow: a file that hangs fails to open.
//
// GStreamer's own threads only hand messages and frames over to the user-interface thread; every
// element is made, changed and torn down there.
#pragma once

#include "platform/media/media_backend.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavelio {

// Audio as it reaches the silent output, already cut to the stretch being played: interleaved
// signed 16-bit samples with their presentation time in the stream.
struct AudioChunk {
    std::int64_t streamTimeNs = 0;
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};

struct GstMediaOptions {
    enum class AudioOutput {
        Automatic, // the default output when the system has one, else the silent one
        Silent,    // always the silent output, which keeps time like a sound card
    };
    AudioOutput audioOutput = AudioOutput::Automatic;
    // Longest wait of Open for a file to become ready to play.
    std::chrono::milliseconds openTimeout{5000};
    // When set, sees every buffer the silent output plays, on a GStreamer thread (measurements).
    std::function<void(const AudioChunk&)> audioTap;
};

class GstPlayback;

// Makes GStreamer back ends. Making it and its back ends costs nothing: GStreamer is initialised,
// the MP3 decoders ranked, the playback plugins loaded and the audio output chosen by Prepare, or
// else by the first Open of any of its back ends (about a tenth of a second, most of it trying the
// sound outputs). A file opened ahead waits here, paused on its first frame, until a back end
// opens it. Lives on the user-interface thread and must outlive the back ends it made.
class GstMediaBackendFactory final : public MediaBackendFactory {
public:
    explicit GstMediaBackendFactory(GstMediaOptions options = {});
    ~GstMediaBackendFactory() override;
    GstMediaBackendFactory(const GstMediaBackendFactory&) = delete;
    GstMediaBackendFactory& operator=(const GstMediaBackendFactory&) = delete;

    std::unique_ptr<MediaBackend> Create() override;
    void Prepare() override;
    // Keeps one file opening ahead: a new call drops the one before.
    void OpenAhead(const std::string& path) override;
    // The playback opened ahead for path, if the path still names the file it opened (else it is
    // dropped); nothing, keeping it, when it was opened for another path. For the back ends' Open.
    std::unique_ptr<GstPlayback> TakeOpenedAhead(const std::string& path);

    // Whether the back ends play sound into the silent output; prepares first.
    bool SilentAudio();

private:
    GstMediaOptions options_;
    bool prepared_ = false;
    bool silentAudio_ = true;
    std::unique_ptr<GstPlayback> openedAhead_;
};

} // namespace tavelio
