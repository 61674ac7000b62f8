// TMediaPlayer: a form's media player, which plays narration stretches and animation clips.
//
// Contract:
// - Open closes first, then opens FileName synchronously (a Windows-form name as the data files
//   give it, ".\A1Speach.wav" or "D:\Media\x.avi", found on this system by ResolveNativePath and
//   relative to the working directory unless absolute). Video goes into Display when the file has
//   video; a Display that no longer exists is dropped. A failed Open raises EMCIDeviceError with
//   the back end's text, or "Unknown error code" when it has none, and leaves no device open.
// - Play needs an open device. With AutoRewind on, the position at the length and no position
//   pending, it first goes back to the start. It plays from the pending StartPosition, else the
//   current position, to the pending EndPosition, else the end, and returns at once; both pending
//   marks are cleared, since they serve one Play. Positions outside the file are taken to its
//   start or end; a stretch that would end before it begins fails.
// - Stop needs an open device; it halts at once and the device stays open at its position, so a
//   later Play without StartPosition goes on from there.
// - Play or Stop with no device open raise EMCIDeviceError "No MCI device open". Other back-end
//   errors are only recorded (LastError) and end the Play they concern.
// - OnNotify fires exactly once for each Play, when that Play ends however it ends: at its end
//   point, cut short by Stop, superseded by Close, Open or another Play, or failed. Stop, Close
//   and Open add no notification of their own. The notification is always queued on the clock
//   and runs through the event dispatcher after the operation that caused it has returned.
// - Mode: 0 (not ready) while no device is open, 1 (stopped) while a device is open and not
//   playing, 2 (playing) while a Play runs; the other values of the scale (3 recording,
//   4 seeking, 5 paused, 6 open) never occur, since files have no door, no recording, and seeking
//   happens inside a call.
// - Releasing the player closes its device; notifications still queued are dropped with it.
//
// Ownership: a QObject child of its form, found by objectName ("TextSpeachPlay", "AniPlay"). It
// owns its back end; the clock, the dispatcher and the factory must outlive it. The Display
// widget belongs to the form and is watched, not owned. User-interface thread only.
#pragma once

#include "base/errors.h"
#include "platform/controls/control.h"
#include "platform/media/media_backend.h"
#include "platform/media/video_display.h"
#include "platform/system/clock.h"
#include "platform/system/event_dispatcher.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace tavelio {

// The media player could not do what it was asked (no device open, a file that will not open).
class EMCIDeviceError : public Error {
public:
    using Error::Error;
};

class TMediaPlayer final : public QObject, public Control {
public:
    // The values of Mode.
    static constexpr std::uint8_t kNotReady = 0;
    static constexpr std::uint8_t kStopped = 1;
    static constexpr std::uint8_t kPlaying = 2;

    TMediaPlayer(QObject* form, const char* name, MediaBackendFactory& backends, Clock& clock,
                 EventDispatcher& dispatcher);
    ~TMediaPlayer() override;
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& fileName) { fileName_ = fileName; }

    // The window the video goes into, or nullptr. Takes effect at once on an open device.
    VideoDisplay* Display() const { return display_.data(); }
    void SetDisplay(VideoDisplay* display);

    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool autoRewind) { autoRewind_ = autoRewind; }

    // Setting a position stores it and marks it pending for the next Play.
    std::int32_t StartPosition() const { return startPosition_; }
    void SetStartPosition(std::int32_t positionMs);
    std::int32_t EndPosition() const { return endPosition_; }
    void SetEndPosition(std::int32_t positionMs);

    // The notify handler (AniPlayNotify); none by default.
    void SetOnNotify(std::function<void()> onNotify) { onNotify_ = std::move(onNotify); }

    std::uint8_t Mode() const;
    // Position and length of the open file in milliseconds; 0 with no device open.
    std::int32_t Position() const;
    std::int32_t Length() const;
    // The text of the last back-end error that was only recorded; empty when there was none.
    const std::string& LastError() const { return lastError_; }

    void Open();
    // Has the file named fileName (named as FileName is) start opening ahead of the Open that
    // will want it, so that that Open returns sooner; changes nothing else and never raises.
    void OpenAhead(const std::string& fileName);
    void Close();
    void Play();
    void Stop();

    // Design-time properties of the (invisible) control, kept for the form's description.
    void SetVisible(bool visible) { visible_ = visible; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    void SetBounds(int left, int top, int width, int height);

    nlohmann::json Describe() const override;

private:
    void RequireDevice() const;
    // Ends the Play that is running, if any, by queueing its notification.
    void EndPlay();
    void QueueNotification();
    void OnBackendEnd(const MediaError& error);

    Clock& clock_;
    EventDispatcher& dispatcher_;
    MediaBackendFactory& backends_;
    std::unique_ptr<MediaBackend> backend_;
    std::string fileName_;
    QPointer<VideoDisplay> display_;
    bool autoRewind_ = false;
    std::int32_t startPosition_ = 0;
    std::int32_t endPosition_ = 0;
    bool startPending_ = false;
    bool endPending_ = false;
    bool playing_ = false;
    std::function<void()> onNotify_;
    std::string lastError_;
    std::set<Clock::Ticket> queuedNotifications_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace tavelio
