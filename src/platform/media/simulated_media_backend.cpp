#include "platform/media/simulated_media_backend.h"

#include "platform/media_files/media_file_info.h"

#include <algorithm>

namespace tavelio {
namespace {

// Length of a media file whose headers do not give one (an AVI without frame count).
constexpr std::int64_t kDefaultLengthMs = 10000;

// The state machine of a player's device in virtual time: a stretch is the interval
// [from, to] of the file, playing from the moment Play was called.
class SimulatedMediaBackend final : public MediaBackend {
public:
    explicit SimulatedMediaBackend(Clock& clock) : clock_(clock) {}
    ~SimulatedMediaBackend() override { Close(); }

    void SetEndHandler(EndHandler handler) override { onEnd_ = std::move(handler); }

    MediaError Open(const std::string& path) override {
        Close();
        const auto info = ReadMediaFileInfo(path);
        if (!info) {
            return CannotOpenMediaText(path);
        }
        if (info->kind == MediaFileKind::Other) {
            return NotMediaText(path);
        }
        open_ = true;
        hasVideo_ = info->kind == MediaFileKind::Avi;
        lengthMs_ = info->lengthMs.value_or(kDefaultLengthMs);
        positionMs_ = 0;
        return std::nullopt;
    }

    void Close() override {
        Stop();
        open_ = false;
        hasVideo_ = false;
        lengthMs_ = 0;
        positionMs_ = 0;
    }

    bool IsOpen() const override { return open_; }
    bool HasVideo() const override { return hasVideo_; }
    void SetVideoTarget(VideoDisplay*) override {} // no pictures in virtual time
    std::int64_t LengthMs() const override { return lengthMs_; }

    std::int64_t PositionMs() const override {
        if (endTicket_ == 0) {
            return positionMs_;
        }
        return std::min(toMs_, positionMs_ + (clock_.NowMs() - startedAtMs_));
    }

    MediaError Play(std::int64_t fromMs, std::int64_t toMs) override {
        Stop();
        positionMs_ = fromMs;
        toMs_ = toMs;
        startedAtMs_ = clock_.NowMs();
        endTicket_ = clock_.CallAfter(toMs - fromMs, [this] {
            endTicket_ = 0;
            positionMs_ = toMs_;
            if (onEnd_) {
                onEnd_(std::nullopt);
            }
        });
        return std::nullopt;
    }

    void Stop() override {
        if (endTicket_ != 0) {
            positionMs_ = PositionMs();
            clock_.Cancel(endTicket_);
            endTicket_ = 0;
        }
    }

private:
    Clock& clock_;
    EndHandler onEnd_;
    bool open_ = false;
    bool hasVideo_ = false;
    std::int64_t lengthMs_ = 0;
    std::int64_t positionMs_ = 0; // while playing: where the stretch began
    std::int64_t toMs_ = 0;
    std::int64_t startedAtMs_ = 0;
    Clock::Ticket endTicket_ = 0; // non-zero while a stretch plays
};

} // namespace

std::unique_ptr<MediaBackend> SimulatedMediaBackendFactory::Create() {
    return std::make_unique<SimulatedMediaBackend>(clock_);
}

} // namespace tavelio
