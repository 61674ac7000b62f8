#include "platform/media/gst_media_backend.h"

#include "platform/media/gst_missing_plugin.h"
#include "platform/media/gst_outputs.h"
#include "platform/media/video_display.h"
#include "platform/media_files/media_file_info.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/missing-plugins.h>
#include <gst/video/video.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace tavelio {
namespace {

// Samples by which an MPEG layer 3 decoder's output lags its input (the decoder delay).
constexpr int kMp3DecoderDelay = 529;
// The encoder delay LAME puts before the content; assumed where a file records none.
constexpr int kLameEncoderDelay = 576;

// playbin's flags: video, audio and software volume; no subtitles, visualisation or filters.
constexpr guint kPlayFlags = 0x1 | 0x2 | 0x10;

constexpr std::int64_t kNsPerMs = 1000000;

// Frames arrive in the memory layout of Qt's opaque 32-bit format, so that GStreamer's threads
// do the conversion and the display draws a frame by copying it rather than blending it.
constexpr const char* kFrameFormat = G_BYTE_ORDER == G_LITTLE_ENDIAN ? "BGRx" : "xRGB";
constexpr QImage::Format kFrameImageFormat = QImage::Format_RGB32;

// How far MP3 content is late on the stream's time line, in samples. GStreamer's MPEG audio
// parser already trims the delays when a LAME tag records them; without one, the content comes
// after the encoder delay (LAME's, unless another encoder's tag records its own) and the
// decoder delay.
int Mp3LateSamples(const MediaFileInfo& info) {
    if (info.encoderName.rfind("LAME", 0) == 0 && info.encoderDelay) {
        return 0;
    }
    return info.encoderDelay.value_or(kLameEncoderDelay) + kMp3DecoderDelay;
}

std::string GErrorText(GstMessage* message, bool* typeNotFound) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    std::string text = error != nullptr && error->message != nullptr ? error->message : "";
    if (typeNotFound != nullptr) {
        *typeNotFound = error != nullptr && error->domain == GST_STREAM_ERROR &&
                        error->code == GST_STREAM_ERROR_TYPE_NOT_FOUND;
    }
    g_clear_error(&error);
    g_free(debug);
    return text;
}

// Which file a path named, and in what state: a file opened ahead is only taken for a later
// Open of the same path while the path still names the same, unchanged file.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{status.st_dev, status.st_ino, status.st_size,
                     std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
}

} // namespace

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

MediaError GstPlayback::StartOpening(const std::string& path) {
    Close();
    const bool silentAudio = factory_.SilentAudio();
    GError* uriError = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &uriError);
    if (uri == nullptr) {
        g_clear_error(&uriError);
        return CannotOpenMediaText(path);
    }
    path_ = path;
    stamp_ = StampOf(path);
    pipeline_ = gst_element_factory_make("playbin", nullptr);
    gst_object_ref_sink(pipeline_);
    GstElement* audio = silentAudio ? MakeSilentAudioOutput(options_.audioTap)
                                    : gst_element_factory_make("autoaudiosink", nullptr);
    g_object_set(pipeline_, "uri", uri, "flags", kPlayFlags, "audio-sink", audio, "video-sink",
                 MakeVideoOutput(), nullptr);
    g_free(uri);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, &GstPlayback::OnBusMessage, this, nullptr);
    gst_object_unref(bus);
    openingChange_ = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    return std::nullopt;
}

MediaError GstPlayback::FinishOpening(const MediaFileInfo& info) {
    if (MediaError error = WaitUntilReady(openingChange_)) {
        Close();
        return error;
    }
    opened_ = true;
    // What came after the file was ready (an error, say) is handled as if it came now.
    if (!drainQueued_.exchange(true)) {
        QMetaObject::invokeMethod(
            &context_, [this] { Drain(); }, Qt::QueuedConnection);
    }
    if (info.kind == MediaFileKind::Mp3) {
        lateNs_ = static_cast<std::int64_t>(gst_util_uint64_scale_int(
            static_cast<guint64>(Mp3LateSamples(info)), GST_SECOND, info.sampleRate));
    }
    gint64 durationNs = 0;
    if (info.kind == MediaFileKind::Mp3 && info.lengthMs) {
        // Counted from the file's frames; content that comes late loses as much at its end.
        lengthMs_ = std::max<std::int64_t>(*info.lengthMs - lateNs_ / kNsPerMs, 0);
        exactLength_ = true;
    } else if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &durationNs)) {
        lengthMs_ = durationNs / kNsPerMs;
    } else {
        lengthMs_ = info.lengthMs.value_or(0);
    }
    gint videoStreams = 0;
    g_object_get(pipeline_, "n-video", &videoStreams, nullptr);
    hasVideo_ = videoStreams > 0;
    positionMs_ = 0;
    return std::nullopt;
}

MediaError GstPlayback::WaitUntilReady(GstStateChangeReturn change) {
    const auto deadline = std::chrono::steady_clock::now() + options_.openTimeout;
    bool ready = change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL;
    std::optional<std::string> failure;
    bool notMedia = false;
    std::vector<GstMessage*> missing;
    {
        std::unique_lock lock(mutex_);
        while (!ready && !failure) {
            if (change != GST_STATE_CHANGE_FAILURE &&
                std::chrono::steady_clock::now() >= deadline) {
                break;
            }
            if (queue_.empty() && change != GST_STATE_CHANGE_FAILURE) {
                posted_.wait_until(lock, deadline);
                continue;
            }
            if (queue_.empty()) {
                failure = ""; // failed at once without saying why
                break;
            }
            GstMessage* message = queue_.front().message;
            queue_.pop_front();
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE &&
                GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline_)) {
                ready = true;
            } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
                failure = GErrorText(message, &notMedia);
            } else if (gst_is_missing_plugin_message(message)) {
                missing.push_back(gst_message_ref(message));
            }
            gst_message_unref(message);
        }
    }
    // A missing decoder may only drop one stream of the file (its sound, say) without failing the
    // preroll; the file is still not what it should be.
    MediaError result;
    if (!missing.empty()) {
        result = MissingPluginText(path_, missing);
    } else if (notMedia) {
        result = NotMediaText(path_);
    } else if (failure) {
        result = "Cannot play \"" + path_ + "\"" + (failure->empty() ? "" : ": " + *failure);
    } else if (!ready) {
        result = "Cannot play \"" + path_ + "\": it was not ready to play within " +
                 std::to_string(options_.openTimeout.count()) + " ms";
    }
    for (GstMessage* message : missing) {
        gst_message_unref(message);
    }
    return result;
}

void GstPlayback::Close() {
    if (pipeline_ == nullptr) {
        return;
    }
    // Stopping joins GStreamer's threads, so nothing calls in once this returns.
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
    ++epoch_;
    for (const Posted& posted : TakePosted()) {
        gst_message_unref(posted.message);
    }
    {
        std::lock_guard lock(mutex_);
        latestFrame_ = QImage();
    }
    path_.clear();
    stamp_.reset();
    opened_ = false;
    hasVideo_ = false;
    exactLength_ = false;
    lengthMs_ = 0;
    lateNs_ = 0;
    positionMs_ = 0;
    playing_ = false;
    brokenText_.reset();
}

void GstPlayback::SetVideoTarget(VideoDisplay* display) {
    target_ = display;
    wantFrames_ = display != nullptr;
}

std::int64_t GstPlayback::PositionMs() const {
    return playing_ ? QueryPositionMs() : positionMs_;
}

std::int64_t GstPlayback::QueryPositionMs() const {
    gint64 positionNs = 0;
    if (pipeline_ == nullptr ||
        !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &positionNs)) {
        return positionMs_;
    }
    // While a stretch plays, the position stays inside it (a seek may not have settled yet).
    return std::max(positionMs_, std::min((positionNs - lateNs_) / kNsPerMs, toMs_));
}

MediaError GstPlayback::Play(std::int64_t fromMs, std::int64_t toMs) {
    if (brokenText_) {
        return brokenText_;
    }
    // In PAUSED no sink posts an end-of-stream, so every message of the stretch before carries
    // an epoch older than the one that begins here.
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    ++epoch_;
    playing_ = false;
    positionMs_ = fromMs;
    toMs_ = toMs;
    // To the end of a file whose length is only estimated, play to what the file really holds.
    const bool toEnd = toMs >= lengthMs_ && !exactLength_;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                          fromMs * kNsPerMs + lateNs_,
                          toEnd ? GST_SEEK_TYPE_NONE : GST_SEEK_TYPE_SET,
                          toEnd ? -1 : toMs * kNsPerMs + lateNs_)) {
        return "Cannot play \"" + path_ + "\": it cannot be positioned";
    }
    playing_ = true;
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    return std::nullopt;
}

void GstPlayback::Stop() {
    if (pipeline_ == nullptr) {
        return;
    }
    if (playing_) {
        positionMs_ = QueryPositionMs();
    }
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    ++epoch_;
    playing_ = false;
}

void GstPlayback::FinishStretch(const MediaError& error) {
    positionMs_ = error ? QueryPositionMs() : toMs_;
    playing_ = false;
    if (onEnd_) {
        onEnd_(error);
    }
}

GstBusSyncReply GstPlayback::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* backend = static_cast<GstPlayback*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_ASYNC_DONE:
        break;
    case GST_MESSAGE_ELEMENT:
        if (gst_is_missing_plugin_message(message)) {
            break;
        }
        return GST_BUS_DROP;
    default:
        return GST_BUS_DROP;
    }
    {
        std::lock_guard lock(backend->mutex_);
        backend->queue_.push_back({gst_message_ref(message), backend->epoch_.load()});
    }
    backend->posted_.notify_all();
    if (!backend->drainQueued_.exchange(true)) {
        QMetaObject::invokeMethod(
            &backend->context_, [backend] { backend->Drain(); }, Qt::QueuedConnection);
    }
    return GST_BUS_DROP;
}

std::deque<GstPlayback::Posted> GstPlayback::TakePosted() {
    std::lock_guard lock(mutex_);
    std::deque<Posted> taken;
    taken.swap(queue_);
    return taken;
}

void GstPlayback::Drain() {
    drainQueued_ = false;
    if (!opened_) {
        return;
    }
    for (const Posted& posted : TakePosted()) {
        GstMessage* message = posted.message;
        const bool current = playing_ && posted.epoch == epoch_;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && current) {
            FinishStretch(std::nullopt);
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            // The pipeline is of no further use; later stretches fail with the same text.
            brokenText_ = "Cannot play \"" + path_ + "\": " + GErrorText(message, nullptr);
            if (playing_) {
                FinishStretch(brokenText_);
            }
        }
        gst_message_unref(message);
    }
}

GstElement* GstPlayback::MakeVideoOutput() {
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    GstCaps* caps =
        gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kFrameFormat, nullptr);
    g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "enable-last-sample", FALSE,
                 nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = &GstPlayback::OnNewPreroll;
    callbacks.new_sample = &GstPlayback::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    return sink;
}

GstFlowReturn GstPlayback::OnNewPreroll(GstAppSink* sink, gpointer self) {
    if (GstSample* sample = gst_app_sink_pull_preroll(sink)) {
        static_cast<GstPlayback*>(self)->TakeFrame(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

GstFlowReturn GstPlayback::OnNewSample(GstAppSink* sink, gpointer self) {
    if (GstSample* sample = gst_app_sink_pull_sample(sink)) {
        static_cast<GstPlayback*>(self)->TakeFrame(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

// On a streaming thread: wraps the frame in an image without copying it and, unless a hand-over is
// already on its way, queues one to the user-interface thread, which then takes the latest frame
// there is. The image keeps the buffer mapped (and so alive) for as long as any copy of it lives,
// in the display too.
void GstPlayback::TakeFrame(GstSample* sample) {
    if (!wantFrames_) {
        return;
    }
    GstVideoInfo info;
    auto frame = std::make_unique<GstVideoFrame>();
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_video_frame_map(frame.get(), &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        return;
    }
    const auto release = [](void* mapped) {
        auto* mappedFrame = static_cast<GstVideoFrame*>(mapped);
        gst_video_frame_unmap(mappedFrame);
        delete mappedFrame;
    };
    QImage image(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(frame.get(), 0)),
                 GST_VIDEO_FRAME_WIDTH(frame.get()), GST_VIDEO_FRAME_HEIGHT(frame.get()),
                 GST_VIDEO_FRAME_PLANE_STRIDE(frame.get(), 0), kFrameImageFormat, release,
                 frame.get());
    frame.release(); // the image owns it now
    {
        std::lock_guard lock(mutex_);
        latestFrame_ = std::move(image);
    }
    if (!frameQueued_.exchange(true)) {
        QMetaObject::invokeMethod(
            &context_, [this] { DeliverFrame(); }, Qt::QueuedConnection);
    }
}

void GstPlayback::DeliverFrame() {
    frameQueued_ = false;
    QImage frame;
    {
        std::lock_guard lock(mutex_);
        frame.swap(latestFrame_);
    }
    if (!frame.isNull() && target_) {
        target_->ShowFrame(frame);
    }
}

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
