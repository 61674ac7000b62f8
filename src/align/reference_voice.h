// The reference voice: the speech synthesiser saying the text, with the moment it starts each of
// the text's words. The aligner compares a person's recording with this speech.
#pragma once

#include "align/audio_decoder.h"
#include "align/reading_text.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tavelio::align {

class ReferenceVoice {
public:
    // Starts the synthesiser with the voice of a language it knows ("en-us", "de", "fr"...).
    // Raises AlignError for a language it doesn't know. One voice at a time in a process: the
    // synthesiser keeps its state in the process, from the first voice to the process's end.
    explicit ReferenceVoice(const std::string& language);
    ReferenceVoice(const ReferenceVoice&) = delete;
    ReferenceVoice& operator=(const ReferenceVoice&) = delete;

    int SampleRate() const { return sampleRate_; }

    // Speaks fragment and passes the speech to sink. Returns, for each of its words, the
    // sample (from the start of this speech) at which the word starts. A word the synthesiser
    // does not say on its own (a dash, say) starts where the next one does.
    std::vector<std::size_t> Say(const TextFragment& fragment, const SampleSink& sink);

private:
    int sampleRate_ = 0;
};

} // namespace tavelio::align
