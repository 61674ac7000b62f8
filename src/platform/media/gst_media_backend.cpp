#include "platform/media/gst_media_backend.h"

#include "platform/media/gst_outputs.h"
#include "platform/media/gst_playback.h"
#include "platform/media_files/media_file_info.h"

#include <gst/gst.h>
#include <memory>
#include <optional>

namespace tavelio {
namespace {

// A back end is the playback of its open file, or the one the factory opened ahead for it.
class GstMediaBackend final : public MediaBackend {
public:
    GstMediaBackend(const GstMediaOptions& options, GstMediaBackendFactory& factory)
        : factory_(factory), playback_(std::make_unique<GstPlayback>(options, factory)) {}

    void SetEndHandler(EndHandler handler) override {
        onEnd_ = std::move(handler);
        playback_->SetEndHandler(onEnd_);
    }
    MediaError Open(const std::string& path) override {
        playback_->Close();
        // Read first: a file that can't be read has nothing opened for it, ahead or not.
        const std::optional<MediaFileInfo> info = ReadMediaFileInfo(path);
        if (!info) {
            return CannotOpenMediaText(path);
        }
        if (std::unique_ptr<GstPlayback> openedAhead = factory_.TakeOpenedAhead(path)) {
            playback_ = std::move(openedAhead);
            playback_->SetEndHandler(onEnd_);
        } else if (MediaError error = playback_->StartOpening(path)) {
            return error;
        }
        return playback_->FinishOpening(*info);
    }
    void Close() override { playback_->Close(); }
    bool IsOpen() const override { return playback_->IsOpen(); }
    bool HasVideo() const override { return playback_->HasVideo(); }
    void SetVideoTarget(VideoDisplay* display) override { playback_->SetVideoTarget(display); }
    std::int64_t LengthMs() const override { return playback_->LengthMs(); }
    std::int64_t PositionMs() const override { return playback_->PositionMs(); }
    MediaError Play(std::int64_t fromMs, std::int64_t toMs) override {
        return playback_->Play(fromMs, toMs);
    }
    void Stop() override { playback_->Stop(); }

private:
    GstMediaBackendFactory& factory_;
    EndHandler onEnd_;
    std::unique_ptr<GstPlayback> playback_;
};

} // namespace

GstMediaBackendFactory::GstMediaBackendFactory(GstMediaOptions options)
    : options_(std::move(options)) {}

GstMediaBackendFactory::~GstMediaBackendFactory() = default;

std::unique_ptr<MediaBackend> GstMediaBackendFactory::Create() {
    return std::make_unique<GstMediaBackend>(options_, *this);
}

void GstMediaBackendFactory::OpenAhead(const std::string& path) {
    openedAhead_.reset();
    auto playback = std::make_unique<GstPlayback>(options_, *this);
    // A file that fails at once fails the same way when it is opened.
    if (!playback->StartOpening(path)) {
        openedAhead_ = std::move(playback);
    }
}

std::unique_ptr<GstPlayback> GstMediaBackendFactory::TakeOpenedAhead(const std::string& path) {
    if (openedAhead_ == nullptr || openedAhead_->Path() != path) {
        return nullptr; // another file's, which waits for its own Open
    }
    std::unique_ptr<GstPlayback> playback = std::move(openedAhead_);
    // A file changed or replaced since it was opened ahead is opened anew.
    return playback->Stamp() == StampOf(path) ? std::move(playback) : nullptr;
}

void GstMediaBackendFactory::Prepare() {
    if (prepared_) {
        return;
    }
    prepared_ = true;
    if (!gst_is_initialized()) {
        gst_init(nullptr, nullptr);
    }
    PreferSampleAccurateMp3Decoders();
    LoadPlaybackPlugins();
    silentAudio_ =
        options_.audioOutput == GstMediaOptions::AudioOutput::Silent || !DefaultAudioOutputWorks();
}

bool GstMediaBackendFactory::SilentAudio() {
    Prepare();
    return silentAudio_;
}

} // namespace tavelio
