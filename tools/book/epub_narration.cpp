#include "book/epub_narration.h"

#include "book/sound_file.h"
#include "book/tool_error.h"

#include <lame/lame.h>
#include <memory>
#include <sndfile.h>
#include <vector>

namespace tavelio::book {
namespace {

// Speech needs no more; the narration of a book stays a few megabytes.
constexpr int kBitRateKbps = 64;
constexpr sf_count_t kFramesPerRead = 8192;

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

// LAME's own bound for the bytes that frames samples can give.
std::size_t Mp3Room(sf_count_t frames) {
    return static_cast<std::size_t>(frames) * 5 / 4 + 7200;
}

} // namespace

EncodedNarration EncodeNarration(const std::string& wavPath) {
    const auto refuse = [&](const std::string& why) { return ToolError(wavPath + ": " + why); };
    SF_INFO info{};
    const SoundFile wav(sf_open(wavPath.c_str(), SFM_READ, &info));
    if (!wav) {
        throw refuse(std::string("not readable as sound (") + sf_strerror(nullptr) + ")");
    }
    if (info.channels < 1 || info.channels > 2 || info.samplerate <= 0) {
        throw refuse("narration must have one or two channels, not " +
                     std::to_string(info.channels));
    }
    const std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    lame_set_num_channels(lame.get(), info.channels);
    lame_set_in_samplerate(lame.get(), info.samplerate);
    // Left to itself the encoder resamples speech at this bit rate, whose filter would shift the
    // sound against the WAV file's clock.
    lame_set_out_samplerate(lame.get(), info.samplerate);
    lame_set_brate(lame.get(), kBitRateKbps);
    lame_set_mode(lame.get(), info.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        throw refuse("its sample rate of " + std::to_string(info.samplerate) +
                     " Hz can't be encoded as MP3");
    }

    std::string mp3;
    std::vector<short> samples(static_cast<std::size_t>(kFramesPerRead * info.channels));
    std::vector<unsigned char> encoded(Mp3Room(kFramesPerRead));
    sf_count_t total = 0;
    for (;;) {
        const sf_count_t frames = sf_readf_short(wav.get(), samples.data(), kFramesPerRead);
        if (frames <= 0) {
            break;
        }
        total += frames;
        const int count = static_cast<int>(frames);
        const int bytes =
            info.channels == 1
                ? lame_encode_buffer(lame.get(), samples.data(), samples.data(), count,
                                     encoded.data(), static_cast<int>(encoded.size()))
                : lame_encode_buffer_interleaved(lame.get(), samples.data(), count, encoded.data(),
                                                 static_cast<int>(encoded.size()));
        if (bytes < 0) {
            throw refuse("the MP3 encoder failed (" + std::to_string(bytes) + ")");
        }
        mp3.append(reinterpret_cast<const char*>(encoded.data()), static_cast<std::size_t>(bytes));
    }
    if (sf_error(wav.get()) != SF_ERR_NO_ERROR) {
        throw refuse(std::string("reading failed (") + sf_strerror(wav.get()) + ")");
    }
    const int tail =
        lame_encode_flush(lame.get(), encoded.data(), static_cast<int>(encoded.size()));
    if (tail < 0) {
        throw refuse("the MP3 encoder failed (" + std::to_string(tail) + ")");
    }
    mp3.append(reinterpret_cast<const char*>(encoded.data()), static_cast<std::size_t>(tail));

    // The encoder began the stream with room for its header; now that it knows the delay, the
    // padding and the frame count, the header takes that room.
    std::vector<unsigned char> tag(encoded.size());
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tagSize == 0 || tagSize > mp3.size()) {
        throw refuse("the MP3 encoder gave no header");
    }
    mp3.replace(0, tagSize, reinterpret_cast<const char*>(tag.data()), tagSize);
    return {std::move(mp3), total * 1000 / info.samplerate};
}

} // namespace tavelio::book
