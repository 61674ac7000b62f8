#include "platform/media/media_player.h"

#include "base/errors.h"
#include "base/native_path.h"
#include "base/text_encoding.h"

#include <algorithm>
#include <limits>

namespace tavelio {
namespace {

constexpr const char* kNoDevice = "No MCI device open";
constexpr const char* kUnknownError = "Unknown error code";
constexpr const char* kOutOfRange = "The specified parameter is out of range";

std::string ErrorText(const std::string& text) {
    return text.empty() ? kUnknownError : text;
}

std::int32_t ToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TMediaPlayer::TMediaPlayer(QObject* form, const char* name, MediaBackendFactory& backends,
                           Clock& clock, EventDispatcher& dispatcher)
    : QObject(form), clock_(clock), dispatcher_(dispatcher), backends_(backends),
      backend_(backends.Create()) {
    setObjectName(name);
    backend_->SetEndHandler([this](const MediaError& error) { OnBackendEnd(error); });
}

TMediaPlayer::~TMediaPlayer() {
    // The notifications of a released player have nowhere to go.
    playing_ = false;
    backend_->Close();
    for (Clock::Ticket ticket : queuedNotifications_) {
        clock_.Cancel(ticket);
    }
}

void TMediaPlayer::SetDisplay(VideoDisplay* display) {
    display_ = display;
    if (backend_->IsOpen() && backend_->HasVideo()) {
        backend_->SetVideoTarget(display);
    }
}

void TMediaPlayer::SetStartPosition(std::int32_t positionMs) {
    startPosition_ = positionMs;
    startPending_ = true;
}

void TMediaPlayer::SetEndPosition(std::int32_t positionMs) {
    endPosition_ = positionMs;
    endPending_ = true;
}

std::uint8_t TMediaPlayer::Mode() const {
    if (!backend_->IsOpen()) {
        return kNotReady;
    }
    return playing_ ? kPlaying : kStopped;
}

std::int32_t TMediaPlayer::Position() const {
    return backend_->IsOpen() ? ToInt32(backend_->PositionMs()) : 0;
}

std::int32_t TMediaPlayer::Length() const {
    return backend_->IsOpen() ? ToInt32(backend_->LengthMs()) : 0;
}

void TMediaPlayer::Open() {
    Close();
    if (MediaError error = backend_->Open(ResolveNativePath(fileName_))) {
        throw EMCIDeviceError(ErrorText(*error));
    }
    // A display widget that has been destroyed meanwhile reads as none: the video is dropped.
    backend_->SetVideoTarget(backend_->HasVideo() ? display_.data() : nullptr);
}

void TMediaPlayer::OpenAhead(const std::string& fileName) {
    backends_.OpenAhead(ResolveNativePath(fileName));
}

void TMediaPlayer::Close() {
    EndPlay();
    backend_->Close();
}

void TMediaPlayer::Play() {
    RequireDevice();
    EndPlay();

    const std::int64_t length = backend_->LengthMs();
    std::int64_t position = backend_->PositionMs();
    if (autoRewind_ && position >= length && !startPending_ && !endPending_) {
        position = 0;
    }
    const std::int64_t from =
        startPending_ ? std::clamp<std::int64_t>(startPosition_, 0, length) : position;
    const std::int64_t to =
        endPending_ ? std::clamp<std::int64_t>(endPosition_, 0, length) : length;
    startPending_ = false;
    endPending_ = false;

    // From here on this Play exists and owes one notification, whether it starts or fails.
    playing_ = true;
    MediaError error;
    if (from > to) {
        error = kOutOfRange;
    } else {
        error = backend_->Play(from, to);
    }
    if (error) {
        lastError_ = ErrorText(*error);
        EndPlay();
    }
}

void TMediaPlayer::Stop() {
    RequireDevice();
    backend_->Stop();
    EndPlay();
}

void TMediaPlayer::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

nlohmann::json TMediaPlayer::Describe() const {
    nlohmann::json display = nullptr;
    if (display_) {
        display = display_->objectName().toStdString();
    }
    return {{"kind", "mediaPlayer"},
            {"visible", visible_},
            {"enabled", enabled_},
            {"left", left_},
            {"top", top_},
            {"width", width_},
            {"height", height_},
            {"mode", Mode()},
            {"fileName", Cp1252ToUtf8(fileName_)},
            {"startPosition", startPosition_},
            {"endPosition", endPosition_},
            {"autoRewind", autoRewind_},
            {"display", display},
            {"position", Position()},
            {"length", Length()},
            {"error", lastError_}};
}

void TMediaPlayer::RequireDevice() const {
    if (!backend_->IsOpen()) {
        throw EMCIDeviceError(kNoDevice);
    }
}

void TMediaPlayer::EndPlay() {
    if (playing_) {
        playing_ = false;
        QueueNotification();
    }
}

void TMediaPlayer::QueueNotification() {
    auto ticket = std::make_shared<Clock::Ticket>(0);
    *ticket = clock_.CallAfter(0, [this, ticket] {
        queuedNotifications_.erase(*ticket);
        // A copy: the handler may give the player a new one while it runs.
        const std::function<void()> handler = onNotify_;
        if (handler) {
            dispatcher_.Run(handler);
        }
    });
    queuedNotifications_.insert(*ticket);
}

void TMediaPlayer::OnBackendEnd(const MediaError& error) {
    if (!playing_) {
        return;
    }
    if (error) {
        lastError_ = ErrorText(*error);
    }
    EndPlay();
}

} // namespace tavelio
