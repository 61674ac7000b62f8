#include "align/reference_voice.h"

#include "align/align_error.h"

#include <algorithm>
#include <espeak-ng/speak_lib.h>
#include <limits>
#include <string_view>
#include <vector>

namespace tavelio::align {
namespace {

// What one call of the synthesiser collects: the speech so far and its word events.
struct Speech {
    const SampleSink* sink = nullptr;
    std::size_t samples = 0;
    std::vector<float> converted;
    std::vector<std::pair<int, std::size_t>> wordStarts; // character position (from 1), sample
    int sampleRate = 0;
};

int Collect(short* wave, int count, espeak_EVENT* events) {
    auto* speech = static_cast<Speech*>(events->user_data);
    for (espeak_EVENT* event = events; event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type == espeakEVENT_WORD) {
            const auto at = static_cast<std::size_t>(event->audio_position) *
                            static_cast<std::size_t>(speech->sampleRate) / 1000;
            speech->wordStarts.emplace_back(event->text_position, at);
        }
    }
    if (wave != nullptr && count > 0) {
        speech->converted.resize(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < speech->converted.size(); ++i) {
            speech->converted[i] = static_cast<float>(wave[i]) / 32768.0f;
        }
        (*speech->sink)(speech->converted.data(), speech->converted.size());
        speech->samples += speech->converted.size();
    }
    return 0; // go on
}

// The position (in characters, from 0) at which each word of the fragment's text begins.
std::vector<int> WordPositions(const TextFragment& fragment) {
    std::vector<int> positions;
    int characters = 0;
    for (const std::string& word : fragment.words) {
        positions.push_back(characters);
        for (const char byte : word) {
            if ((static_cast<unsigned char>(byte) & 0xC0u) != 0x80u) {
                ++characters;
            }
        }
        ++characters; // the space after it
    }
    return positions;
}

// The synthesiser's sample rate, started once for the whole process: once stopped, it can't be
// started again in the same process without hanging on its next speech.
int StartedSynthesiser() {
    static const int rate = [] {
        const int started =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (started > 0) {
            espeak_SetSynthCallback(Collect);
        }
        return started;
    }();
    return rate;
}

// The text with the marks that make the synthesiser pause (a comma, a full stop within the line)
// blanked out where they end a word, so that the synthesiser runs on and the positions of the
// words stay as they are. People pause at them or run on as they please ("up, up, up!"), and the
// warp follows a pause that the recording makes and the reference does not far better than the
// other way round. Spelled letters keep their marks: without them the synthesiser runs the letters
// together as no one spelling a word does.
std::string WithoutPausingMarks(std::string text) {
    constexpr std::string_view kPausingMarks = ",.;:!?";
    for (std::size_t i = 1; i < text.size(); ++i) {
        const bool endsWord = i + 1 == text.size() || text[i + 1] == ' ';
        const bool afterLetter = i == 1 || text[i - 2] == ' ';
        if (endsWord && !afterLetter && kPausingMarks.find(text[i]) != std::string_view::npos) {
            text[i] = ' ';
        }
    }
    return text;
}

} // namespace

ReferenceVoice::ReferenceVoice(const std::string& language) : sampleRate_(StartedSynthesiser()) {
    if (sampleRate_ <= 0) {
        throw AlignError("the speech synthesiser can't be started (is espeak-ng-data installed?)");
    }
    if (espeak_SetVoiceByName(language.c_str()) != EE_OK) {
        throw AlignError("the speech synthesiser knows no language '" + language +
                         "' (espeak-ng --voices lists those it knows)");
    }
}

std::vector<std::size_t> ReferenceVoice::Say(const TextFragment& fragment, const SampleSink& sink) {
    Speech speech;
    speech.sink = &sink;
    speech.sampleRate = sampleRate_;
    const std::string said = WithoutPausingMarks(fragment.text);
    const espeak_ERROR result = espeak_Synth(said.c_str(), said.size() + 1, 0, POS_CHARACTER, 0,
                                             espeakCHARS_UTF8, nullptr, &speech);
    if (result != EE_OK) {
        throw AlignError("the speech synthesiser failed on \"" + fragment.text + "\"");
    }
    // Each word event belongs to the word of the text in which it begins; a word of the text
    // may be said as several (a number, an abbreviation), and then starts with the first.
    const std::vector<int> positions = WordPositions(fragment);
    constexpr std::size_t kUnsaid = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> starts(positions.size(), kUnsaid);
    for (const auto& [position, sample] : speech.wordStarts) {
        const auto after = std::upper_bound(positions.begin(), positions.end(), position - 1);
        if (after == positions.begin()) {
            continue;
        }
        auto& start = starts[static_cast<std::size_t>(after - positions.begin() - 1)];
        start = std::min(start, sample);
    }
    std::size_t next = speech.samples;
    for (std::size_t w = starts.size(); w-- > 0;) {
        if (starts[w] == kUnsaid) {
            starts[w] = next;
        }
        next = starts[w];
    }
    return starts;
}

} // namespace tavelio::align
