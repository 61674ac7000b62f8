// The GStreamer elements around a player's playbin: where its sound goes, and the choice of MP3
// decoder. GStreamer must be initialised before any of these is called.
#pragma once

#include "platform/media/gst_media_backend.h"

#include <gst/gst.h>

namespace tavelio {

// Whether the system's default audio output can be opened; false on a machine without a sound
// card or sound server, where the automatic sink would fall back to a sink of its own.
bool DefaultAudioOutputWorks();

// A sink that plays nothing audible but keeps the pace of a sound card (it waits on the clock)
// and, like a sound card's sink, plays only the samples of each buffer that lie inside the
// current segment. tap, when set, sees those samples. The returned element is floating.
GstElement* MakeSilentAudioOutput(const std::function<void(const AudioChunk&)>& tap);

// Of the MPEG audio decoders installed here, avdec_mp3 (fixed point) does not cut its output to
// the segment of an accurate seek, so a stretch would start on a frame boundary up to 26 ms
// early; mpg123audiodec and avdec_mp3float cut it to the sample. Ranks the accurate ones first.
void PreferSampleAccurateMp3Decoders();

// Loads the plugins that playing the program's files needs (playbin, type finding, WAV, MP3, AVI
// with Motion-JPEG, the conversions and the outputs), which the first file of each kind would
// otherwise load while it opens: a page's first clip opens as fast as its second. Plugins that are
// not installed are passed over; opening a file that needs them reports them missing.
void LoadPlaybackPlugins();

} // namespace tavelio
