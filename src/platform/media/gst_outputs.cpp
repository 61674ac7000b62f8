#include "platform/media/gst_outputs.h"

#include <cstring>
#include <gst/audio/audio.h>

namespace tavelio {
namespace {

// What the silent output's pad probe knows about the stream it sees.
struct SilentOutputState {
    GstSegment segment;
    GstAudioInfo info;
    bool haveInfo = false;
    std::function<void(const AudioChunk&)> tap;
};

void Tap(const SilentOutputState& state, GstBuffer* buffer) {
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return;
    }
    AudioChunk chunk;
    chunk.streamTimeNs = static_cast<std::int64_t>(
        gst_segment_to_stream_time(&state.segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer)));
    chunk.rate = GST_AUDIO_INFO_RATE(&state.info);
    chunk.channels = GST_AUDIO_INFO_CHANNELS(&state.info);
    chunk.samples.resize(map.size / sizeof(std::int16_t));
    std::memcpy(chunk.samples.data(), map.data, chunk.samples.size() * sizeof(std::int16_t));
    gst_buffer_unmap(buffer, &map);
    state.tap(chunk);
}

GstPadProbeReturn OnSilentOutputData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* state = static_cast<SilentOutputState*>(data);
    if (info->type & (GST_PAD_PROBE_TYPE_EVENT_BOTH | GST_PAD_PROBE_TYPE_EVENT_FLUSH)) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            gst_event_copy_segment(event, &state->segment);
        } else if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            state->haveInfo = gst_audio_info_from_caps(&state->info, caps);
        } else if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
            gst_segment_init(&state->segment, GST_FORMAT_TIME);
        }
        return GST_PAD_PROBE_OK;
    }
    if (!state->haveInfo || state->segment.format != GST_FORMAT_TIME) {
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstBuffer* clipped =
        gst_audio_buffer_clip(gst_buffer_ref(buffer), &state->segment,
                              GST_AUDIO_INFO_RATE(&state->info), GST_AUDIO_INFO_BPF(&state->info));
    if (clipped == nullptr) {
        return GST_PAD_PROBE_DROP; // wholly outside the segment
    }
    if (clipped == buffer) {
        gst_buffer_unref(clipped);
    } else {
        GST_PAD_PROBE_INFO_DATA(info) = clipped;
        gst_buffer_unref(buffer);
    }
    if (state->tap) {
        Tap(*state, clipped);
    }
    return GST_PAD_PROBE_OK;
}

} // namespace

bool DefaultAudioOutputWorks() {
    GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
    if (sink == nullptr) {
        return false;
    }
    gst_object_ref_sink(sink);
    bool works = false;
    if (gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        // The automatic sink picks its real sink on the way to READY and falls back to a fake
        // one when none opens.
        works = true;
        GstIterator* children = gst_bin_iterate_elements(GST_BIN(sink));
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
            GstElementFactory* factory =
                gst_element_get_factory(GST_ELEMENT(g_value_get_object(&item)));
            if (factory != nullptr &&
                std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") ==
                    0) {
                works = false;
            }
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(children);
    }
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    return works;
}

GstElement* MakeSilentAudioOutput(const std::function<void(const AudioChunk&)>& tap) {
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    // Interleaved 16-bit samples, so that the tap sees one fixed format.
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved");
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(sink, "sync", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(bin), filter, sink, nullptr);
    gst_element_link(filter, sink);
    GstPad* target = gst_element_get_static_pad(filter, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);

    auto* state = new SilentOutputState;
    gst_segment_init(&state->segment, GST_FORMAT_TIME);
    gst_audio_info_init(&state->info);
    state->tap = tap;
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(pad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      OnSilentOutputData, state,
                      [](gpointer data) { delete static_cast<SilentOutputState*>(data); });
    gst_object_unref(pad);
    return bin;
}

void PreferSampleAccurateMp3Decoders() {
    const struct {
        const char* name;
        guint rank;
    } ranks[] = {{"mpg123audiodec", GST_RANK_PRIMARY + 1}, {"avdec_mp3float", GST_RANK_PRIMARY}};
    for (const auto& entry : ranks) {
        if (GstElementFactory* factory = gst_element_factory_find(entry.name)) {
            gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory), entry.rank);
            gst_object_unref(factory);
        }
    }
}

void LoadPlaybackPlugins() {
    for (const char* name : {"coreelements", "playback", "typefindfunctions", "wavparse",
                             "audioparsers", "mpg123", "avi", "jpeg", "videoconvertscale",
                             "audioconvert", "audioresample", "volume", "app", "autodetect"}) {
        if (GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), name)) {
            if (GstPlugin* loaded = gst_plugin_load(plugin)) {
                gst_object_unref(loaded);
            }
            gst_object_unref(plugin);
        }
    }
}

} // namespace tavelio
