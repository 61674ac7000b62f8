#include "platform/media/gst_playback.h"

#include "platform/media/gst_missing_plugin.h"
#include "platform/media/gst_outputs.h"
#include "platform/media/video_display.h"

#include <algorithm>
#include <gst/pbutils/missing-plugins.h>
#include <gst/video/video.h>
#include <memory>
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

} // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{status.st_dev, status.st_ino, status.st_size,
                     std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
}

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

} // namespace tavelio
