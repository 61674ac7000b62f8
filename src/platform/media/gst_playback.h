// GstPlayback: one file in one playbin, the part of the GStreamer back end that plays
// (gst_media_backend.h says how it plays). Used by the back ends and their factory only.
#pragma once

#include "platform/media/gst_media_backend.h"
#include "platform/media_files/media_file_info.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>

namespace tavelio {

class VideoDisplay;

// Which file a path named, and in what state: a file opened ahead is only taken for a later
// Open of the same path while the path still names the same, unchanged file.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file path names now; nothing when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

// One file in one playbin: what a back end holds while a file is open. A playback can start
// opening its file (StartOpening) long before a back end waits for it (FinishOpening): the
// factory opens the next page's clip that way and hands the playback to the back end that opens
// the same file. GStreamer's callbacks are bound to the playback itself, which therefore never
// moves.
class GstPlayback {
public:
    using EndHandler = MediaBackend::EndHandler;

    GstPlayback(const GstMediaOptions& options, GstMediaBackendFactory& factory)
        : options_(options), factory_(factory) {}
    ~GstPlayback() { Close(); }
    GstPlayback(const GstPlayback&) = delete;
    GstPlayback& operator=(const GstPlayback&) = delete;

    // Closes what is open and starts the file at path opening: fails at once only for a path that
    // can't be made a URI, and otherwise returns while GStreamer makes the file ready.
    MediaError StartOpening(const std::string& path);
    // Waits for the file StartOpening started to be ready to play at position 0; info is what
    // its headers say. A failure closes it.
    MediaError FinishOpening(const MediaFileInfo& info);
    // The file being opened or open, as StartOpening was given it, and which file that was then.
    const std::string& Path() const { return path_; }
    const std::optional<FileStamp>& Stamp() const { return stamp_; }

    void SetEndHandler(EndHandler handler) { onEnd_ = std::move(handler); }
    void Close();
    bool IsOpen() const { return pipeline_ != nullptr; }
    bool HasVideo() const { return hasVideo_; }
    void SetVideoTarget(VideoDisplay* display);
    std::int64_t LengthMs() const { return lengthMs_; }
    std::int64_t PositionMs() const;
    MediaError Play(std::int64_t fromMs, std::int64_t toMs);
    void Stop();

private:
    // A bus message with the epoch in which it was posted.
    struct Posted {
        GstMessage* message;
        std::uint64_t epoch;
    };

    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer self);
    static GstFlowReturn OnNewPreroll(GstAppSink* sink, gpointer self);
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);

    GstElement* MakeVideoOutput();
    MediaError WaitUntilReady(GstStateChangeReturn change);
    void TakeFrame(GstSample* sample);
    void DeliverFrame();
    void Drain();
    void FinishStretch(const MediaError& error);
    std::int64_t QueryPositionMs() const;
    std::deque<Posted> TakePosted();

    GstMediaOptions options_;
    GstMediaBackendFactory& factory_;
    EndHandler onEnd_;
    QObject context_; // lives on the user-interface thread: hand-overs are queued to it

    // User-interface thread only.
    GstElement* pipeline_ = nullptr;
    std::string path_;
    std::optional<FileStamp> stamp_;
    GstStateChangeReturn openingChange_ = GST_STATE_CHANGE_FAILURE; // the change that opens it
    // FinishOpening has succeeded. Until then the bus messages are FinishOpening's to read, however
    // long the file has been opening (ahead).
    bool opened_ = false;
    bool hasVideo_ = false;
    bool exactLength_ = false;
    std::int64_t lengthMs_ = 0;
    std::int64_t lateNs_ = 0; // MP3 content lag on the stream's time line
    std::int64_t positionMs_ = 0;
    std::int64_t toMs_ = 0;
    bool playing_ = false;
    std::optional<std::string> brokenText_; // an error the pipeline reported after opening
    QPointer<VideoDisplay> target_;

    // Shared with GStreamer's threads.
    std::atomic<std::uint64_t> epoch_{0}; // a new one begins with every Play, Stop and Close
    std::atomic<bool> drainQueued_{false};
    std::atomic<bool> frameQueued_{false};
    std::atomic<bool> wantFrames_{false};
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Posted> queue_;
    QImage latestFrame_;
};

} // namespace tavelio
