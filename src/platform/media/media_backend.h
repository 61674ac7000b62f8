// What a media player needs from the machinery that decodes and plays a file. A back end holds at
// most one open file at a time and plays stretches of it; the player (TMediaPlayer) keeps the
// rules about modes, pending positions and notifications on top of it. Two back ends exist: the
// GStreamer one that really plays (gst_media_backend.h) and a simulated one that plays in the
// virtual time of a Clock (simulated_media_backend.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavelio {

class VideoDisplay;

// The outcome of a back-end command: no value when it succeeded, else the back end's error text,
// which may be empty when the back end has none to give.
using MediaError = std::optional<std::string>;

// The texts both back ends give for a file that cannot be read at all and for a readable file
// that holds no media they know; path is the name as the back end was given it.
std::string CannotOpenMediaText(const std::string& path);
std::string NotMediaText(const std::string& path);

// One player's back end. All calls come from the user-interface thread; the end handler is called
// there too, never from inside a call to the back end.
class MediaBackend {
public:
    // How a stretch started by Play ended: it reached its end point (error empty), or it failed
    // while playing (error holds the back end's text).
    using EndHandler = std::function<void(const MediaError& error)>;

    virtual ~MediaBackend() = default;

    // Called once for each successful Play whose stretch ends by itself; a Stop, Close, Open or
    // later Play withdraws the end report of the stretch that was playing.
    virtual void SetEndHandler(EndHandler handler) = 0;

    // Opens the file at path (a path of this system, relative to the working directory unless
    // absolute), closing any file held before. Returns once the file is ready to play at position
    // 0, or fails; a failed Open leaves nothing open.
    virtual MediaError Open(const std::string& path) = 0;

    // Closes the open file, if any. Never fails.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;
    virtual bool HasVideo() const = 0;

    // The window that shows the video from now on, or nullptr for none (the picture is then
    // dropped but the clip keeps its timing). The display must outlive its use here or be
    // withdrawn first.
    virtual void SetVideoTarget(VideoDisplay* display) = 0;

    // Length of the open file and the current position, in milliseconds.
    virtual std::int64_t LengthMs() const = 0;
    virtual std::int64_t PositionMs() const = 0;

    // Starts playing from fromMs to toMs (0 <= fromMs <= toMs <= LengthMs) and returns at once.
    // A failure here means nothing plays and no end report follows.
    virtual MediaError Play(std::int64_t fromMs, std::int64_t toMs) = 0;

    // Halts at once at the current position; the file stays open there.
    virtual void Stop() = 0;
};

// Makes the back end of each player: the program chooses the real or the simulated machinery
// once, and every player gets its own back end from it.
class MediaBackendFactory {
public:
    virtual ~MediaBackendFactory() = default;
    virtual std::unique_ptr<MediaBackend> Create() = 0;
    // Does ahead of time what the first Open would otherwise do first (load the media system),
    // so that the program can pay for it while it shows its splash rather than before. Never
    // raises; calling it again does nothing.
    virtual void Prepare() {}
    // Starts opening the file at path (as Open takes it) for the next Open of that file by any of
    // its back ends, which then finds it ready or nearly so: a page's clip opened while the page
    // before it is read. Never raises and reports nothing; whatever is wrong with the file is
    // reported by that Open, as always. Where opening is quick anyway it does nothing.
    virtual void OpenAhead(const std::string& /*path*/) {}
};

} // namespace tavelio
