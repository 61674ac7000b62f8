#include "book/book_narration.h"

#include "align/align_error.h"
#include "align/audio_decoder.h"
#include "book/epub_narration.h"
#include "book/file_bytes.h"
#include "book/sound_file.h"
#include "book/tool_error.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sndfile.h>
#include <vector>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

// Room that page recordings get before the first page, between pages and after the last, so
// that every page's stretch can begin and end in silence.
constexpr int kEdgeMs = 250;
constexpr int kPageGapMs = 700;
// Loud enough for a quiet recording to be heard, with headroom for the MP3 encoder.
const float kPeak = static_cast<float>(std::pow(10.0, -1.0 / 20.0));

struct Recording {
    fs::path file;
    std::string where; // the source field that names it
};

std::vector<Recording> RecordingsOf(const BookSource& source) {
    if (source.recording) {
        return {{*source.recording, source.file.string() + ", recording"}};
    }
    std::vector<Recording> recordings;
    for (const SourcePage& page : source.pages) {
        recordings.push_back({*page.recording, SourcePlace(source, page.pageNo, "recording")});
    }
    return recordings;
}

// Decodes one recording at the narration's rate, naming it when it can't be.
void Decode(const Recording& recording, const align::SampleSink& sink) {
    try {
        align::DecodeAudio(recording.file.string(), kNarrationRate, sink);
    } catch (const align::AlignError& error) {
        throw ToolError(recording.where + ": " + recording.file.string() + ": " + error.what());
    }
}

class WavWriter {
public:
    explicit WavWriter(const fs::path& path) : path_(path) {
        SF_INFO info{};
        info.samplerate = kNarrationRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        file_.reset(sf_open(path.c_str(), SFM_WRITE, &info));
        if (!file_) {
            throw ToolError(path.string() + ": can't be written (" + sf_strerror(nullptr) + ")");
        }
    }
    void Write(const float* samples, std::size_t count, float gain) {
        scaled_.assign(samples, samples + count);
        for (float& sample : scaled_) {
            sample = std::clamp(sample * gain, -1.0F, 1.0F);
        }
        Put(scaled_.data(), count);
    }
    // ms of the room's own sound, the stretch repeated over and over.
    void WriteRoom(const std::vector<float>& room, int ms, float gain) {
        std::vector<float> pause(static_cast<std::size_t>(ms) * kNarrationRate / 1000, 0.0F);
        for (std::size_t i = 0; i < pause.size() && !room.empty(); ++i) {
            pause[i] = room[i % room.size()];
        }
        Write(pause.data(), pause.size(), gain);
    }
    sf_count_t Frames() const { return frames_; }
    void Close() {
        if (sf_close(file_.release()) != 0) {
            throw ToolError(path_.string() + ": can't be written");
        }
    }

private:
    void Put(const float* samples, std::size_t count) {
        const auto frames = static_cast<sf_count_t>(count);
        if (sf_writef_float(file_.get(), samples, frames) != frames) {
            throw ToolError(path_.string() + ": can't be written (" + sf_strerror(file_.get()) +
                            ")");
        }
        frames_ += frames;
    }

    fs::path path_;
    SoundFile file_;
    std::vector<float> scaled_;
    sf_count_t frames_ = 0;
};

// The quietest stretch of a recording, its room's own sound between words: the pauses put
// between page recordings are made of it. Digital silence there would be a quiet no room has,
// and the pauses within the pages, with the room's sound in them, would no longer count as
// quiet beside it.
class QuietestStretch {
public:
    void Add(const float* samples, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            current_.push_back(samples[i]);
            energy_ += static_cast<double>(samples[i]) * samples[i];
            if (current_.size() == kLength) {
                if (quietest_.empty() || energy_ < quietestEnergy_) {
                    quietest_ = current_;
                    quietestEnergy_ = energy_;
                }
                current_.clear();
                energy_ = 0.0;
            }
        }
    }
    const std::vector<float>& Samples() const { return quietest_; }

private:
    static constexpr std::size_t kLength = kNarrationRate / 10;
    std::vector<float> current_;
    double energy_ = 0.0;
    std::vector<float> quietest_;
    double quietestEnergy_ = 0.0;
};

} // namespace

int WriteNarration(const BookSource& source, const fs::path& wavPath, const fs::path& mp3Path) {
    const std::vector<Recording> recordings = RecordingsOf(source);
    // Two passes, the first for the peak and each recording's room: a long recording is never
    // held whole.
    float peak = 0.0F;
    std::vector<QuietestStretch> rooms(recordings.size());
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        Decode(recordings[i], [&](const float* samples, std::size_t count) {
            for (std::size_t k = 0; k < count; ++k) {
                peak = std::max(peak, std::abs(samples[k]));
            }
            rooms[i].Add(samples, count);
        });
    }
    const float gain = peak > 0.0F ? kPeak / peak : 1.0F;
    WavWriter wav(wavPath);
    const bool joined = recordings.size() > 1;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (joined) {
            wav.WriteRoom(rooms[i].Samples(), i == 0 ? kEdgeMs : kPageGapMs, gain);
        }
        Decode(recordings[i],
               [&](const float* samples, std::size_t count) { wav.Write(samples, count, gain); });
    }
    if (joined) {
        wav.WriteRoom(rooms.back().Samples(), kEdgeMs, gain);
    }
    const sf_count_t frames = wav.Frames();
    wav.Close();
    WriteOutputFile(mp3Path.string(), EncodeNarration(wavPath.string()).mp3);
    return static_cast<int>(frames * 1000 / kNarrationRate);
}

} // namespace tavelio::book
