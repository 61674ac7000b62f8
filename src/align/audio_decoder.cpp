#include "align/audio_decoder.h"

#include "align/align_error.h"

#include <cerrno>
#include <cstring>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <memory>
#include <sys/stat.h>

namespace tavelio::align {
namespace {

template <typename T, void (*Release)(T*)> struct Releaser {
    void operator()(T* object) const { Release(object); }
};
void UnrefObject(GstElement* element) {
    gst_object_unref(element);
}
void UnrefBus(GstBus* bus) {
    gst_object_unref(bus);
}
using ElementPtr = std::unique_ptr<GstElement, Releaser<GstElement, UnrefObject>>;
using BusPtr = std::unique_ptr<GstBus, Releaser<GstBus, UnrefBus>>;

// The file's own trouble, before GStreamer is asked: its messages for a missing file or a folder
// would be less plain.
void RequireReadableFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        throw AlignError(errno == ENOENT ? "no such file" : std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw AlignError("not a file");
    }
    if (status.st_size == 0) {
        throw AlignError("the file is empty");
    }
}

// What a decoding error says to a person who chose the file: GStreamer's own wording is for
// programmers.
std::string Explain(GError* error) {
    if (error->domain == GST_STREAM_ERROR && (error->code == GST_STREAM_ERROR_TYPE_NOT_FOUND ||
                                              error->code == GST_STREAM_ERROR_WRONG_TYPE)) {
        return "not an audio file that can be decoded";
    }
    if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN) {
        return "no decoder is installed for this kind of audio";
    }
    if (error->domain == GST_RESOURCE_ERROR) {
        return std::string("can't be read: ") + error->message;
    }
    return std::string("can't be decoded: ") + error->message;
}

void ThrowBusError(GstBus* bus) {
    GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    if (message == nullptr) {
        return;
    }
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    std::string explained = Explain(error);
    g_error_free(error);
    gst_message_unref(message);
    throw AlignError(explained);
}

} // namespace

std::size_t DecodeAudio(const std::string& path, int sampleRate, const SampleSink& sink) {
    RequireReadableFile(path);
    gst_init(nullptr, nullptr);
    GError* parseError = nullptr;
    ElementPtr pipeline(gst_parse_launch(
        "filesrc name=source ! decodebin name=decoder ! audioconvert ! audioresample ! "
        "capsfilter name=format ! appsink name=sink sync=false max-buffers=16",
        &parseError));
    if (parseError != nullptr) {
        const std::string what = parseError->message;
        g_error_free(parseError);
        throw AlignError("the audio decoder can't be built: " + what);
    }
    ElementPtr source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "source"));
    ElementPtr format(gst_bin_get_by_name(GST_BIN(pipeline.get()), "format"));
    ElementPtr sinkElement(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "channels",
                                        G_TYPE_INT, 1, "rate", G_TYPE_INT, sampleRate, "layout",
                                        G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(format.get(), "caps", caps, nullptr);
    gst_caps_unref(caps);

    BusPtr bus(gst_element_get_bus(pipeline.get()));
    const auto stop = [&] { gst_element_set_state(pipeline.get(), GST_STATE_NULL); };
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    std::size_t decoded = 0;
    auto* appSink = GST_APP_SINK(sinkElement.get());
    try {
        // An error upstream ends the stream without an end-of-stream mark, so the sink is asked
        // with a time limit and the bus is looked at between the pieces.
        constexpr GstClockTime kPatience = 100 * GST_MSECOND;
        while (true) {
            GstSample* sample = gst_app_sink_try_pull_sample(appSink, kPatience);
            if (sample == nullptr) {
                ThrowBusError(bus.get());
                if (gst_app_sink_is_eos(appSink)) {
                    break;
                }
                continue;
            }
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (buffer != nullptr && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const std::size_t count = map.size / sizeof(float);
                sink(reinterpret_cast<const float*>(map.data), count);
                decoded += count;
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
    if (decoded == 0) {
        throw AlignError("no sound in the file");
    }
    return decoded;
}

} // namespace tavelio::align
