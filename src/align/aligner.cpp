#include "align/aligner.h"

#include "align/align_error.h"
#include "align/audio_decoder.h"
#include "align/pauses.h"
#include "align/reference_voice.h"
#include "align/speech_features.h"
#include "align/time_warp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavelio::align {
namespace {

// The silences put between the reference's fragments: a breath within a page, a longer rest
// between pages, as a person reading aloud makes them.
constexpr std::size_t kFramesBetweenFragments = kFramesPerSecond * 3 / 10;
constexpr std::size_t kFramesBetweenPages = kFramesPerSecond * 8 / 10;
// The synthesiser's silence is digital silence; anything above this is its voice.
constexpr float kReferenceVoiceDb = -50.0f;
// How far from where the warp puts a boundary a pause may lie and still be taken for it.
constexpr std::size_t kPauseReach = kFramesPerSecond * 4 / 10;

int MsOfFrame(std::size_t frame) {
    return static_cast<int>(frame * 1000 / kFramesPerSecond);
}

struct ReferenceFragment {
    std::size_t begin = 0;          // first voiced frame
    std::size_t end = 0;            // last voiced frame
    std::vector<std::size_t> words; // the frame of each word's start
};

struct Reference {
    SpeechFeatures features;
    std::vector<ReferenceFragment> fragments;
};

std::size_t FrameOfSample(std::size_t sample, int sampleRate) {
    return sample * kFramesPerSecond / static_cast<std::size_t>(sampleRate);
}

Reference SpeakReference(ReferenceVoice& voice, const std::vector<TextFragment>& text) {
    const int rate = voice.SampleRate();
    const auto samplesOf = [rate](std::size_t frames) {
        return frames * static_cast<std::size_t>(rate) / kFramesPerSecond;
    };
    FeatureExtractor extractor(rate);
    const SampleSink push = [&](const float* samples, std::size_t count) {
        extractor.Push(samples, count);
    };
    Reference reference;
    std::vector<std::pair<std::size_t, std::size_t>> spans; // samples
    extractor.PushSilence(samplesOf(kFramesBetweenFragments));
    for (std::size_t f = 0; f < text.size(); ++f) {
        if (f > 0) {
            extractor.PushSilence(samplesOf(
                text[f].page != text[f - 1].page ? kFramesBetweenPages : kFramesBetweenFragments));
        }
        const std::size_t begin = extractor.SamplesPushed();
        ReferenceFragment fragment;
        for (const std::size_t start : voice.Say(text[f], push)) {
            fragment.words.push_back(FrameOfSample(begin + start, rate));
        }
        spans.emplace_back(begin, extractor.SamplesPushed());
        reference.fragments.push_back(std::move(fragment));
    }
    extractor.PushSilence(samplesOf(kFramesBetweenFragments));
    reference.features = extractor.Finish();

    // The fragment's sound, without the synthesiser's own silence around it.
    const auto& loudness = reference.features.loudnessDb;
    for (std::size_t f = 0; f < text.size(); ++f) {
        ReferenceFragment& fragment = reference.fragments[f];
        const std::size_t first = FrameOfSample(spans[f].first, rate);
        const std::size_t last =
            std::min(loudness.size() - 1, FrameOfSample(spans[f].second, rate));
        fragment.begin = first;
        fragment.end = last;
        while (fragment.begin < last && loudness[fragment.begin] < kReferenceVoiceDb) {
            ++fragment.begin;
        }
        while (fragment.end > fragment.begin && loudness[fragment.end] < kReferenceVoiceDb) {
            --fragment.end;
        }
        for (std::size_t& word : fragment.words) {
            word = std::clamp(word, fragment.begin, fragment.end);
        }
    }
    return reference;
}

SpeechFeatures DecodeRecording(const std::string& path, int sampleRate, int& durationMs) {
    FeatureExtractor extractor(sampleRate);
    const std::size_t samples =
        DecodeAudio(path, sampleRate,
                    [&](const float* data, std::size_t count) { extractor.Push(data, count); });
    durationMs = static_cast<int>(samples * 1000 / static_cast<std::size_t>(sampleRate));
    return extractor.Finish();
}

// The distance between a pause and the stretch [lo, hi]; 0 when they meet.
std::size_t Apart(const Pause& pause, std::size_t lo, std::size_t hi) {
    if (pause.end <= lo) {
        return lo - pause.end;
    }
    if (pause.begin >= hi) {
        return pause.begin - hi;
    }
    return 0;
}

// The pause nearest to the stretch [lo, hi] between two fragments, within reach, that leaves
// each fragment some of its own sound; the longest where several meet it.
const Pause* PauseBetween(const Pauses& pauses, std::size_t lo, std::size_t hi,
                          std::size_t earliest, std::size_t latest) {
    const Pause* best = nullptr;
    for (const Pause& pause : pauses.All()) {
        if (pause.begin <= earliest || pause.end >= latest || Apart(pause, lo, hi) > kPauseReach) {
            continue;
        }
        if (best == nullptr || Apart(pause, lo, hi) < Apart(*best, lo, hi) ||
            (Apart(pause, lo, hi) == Apart(*best, lo, hi) &&
             pause.end - pause.begin > best->end - best->begin)) {
            best = &pause;
        }
    }
    return best;
}

// The pause that holds frame, or one that begins so soon after it that no word fits before it:
// where the warp starts a word at the edge of a pause that the reference does not make (a
// rest the reader makes at a full stop), the word is said after the pause.
const Pause* PauseAtOrJustAfter(const Pauses& pauses, std::size_t frame) {
    constexpr std::size_t kShortestWord = kFramesPerSecond * 6 / 100;
    for (std::size_t ahead = 0; ahead <= kShortestWord; ++ahead) {
        if (const Pause* pause = pauses.At(frame + ahead)) {
            return pause;
        }
    }
    return nullptr;
}

// Where the speech after a pause begins: a sound too short to be a word between it and the
// next pause (a breath, a click of the lips before a line) is not the line's start.
std::size_t AfterBreath(const Pauses& pauses, const Pause& pause, std::size_t latest) {
    constexpr std::size_t kLongestBreath = kFramesPerSecond * 8 / 100;
    const auto next =
        std::upper_bound(pauses.All().begin(), pauses.All().end(), pause.begin,
                         [](std::size_t frame, const Pause& other) { return frame < other.begin; });
    if (next != pauses.All().end() && next->begin - pause.end <= kLongestBreath &&
        next->end < latest) {
        return next->end;
    }
    return pause.end;
}

double MeanDistance(const std::vector<FeatureVector>& reference,
                    const std::vector<FeatureVector>& recording) {
    const WarpPath warp = WarpOnto(reference, recording, WarpEnd::kAtBothEnds);
    double sum = 0.0;
    for (const float distance : warp.distance) {
        sum += distance;
    }
    return sum / static_cast<double>(warp.distance.size());
}

// How much better the fragment's reference matches the recording's stretch than the same
// reference played backwards does: the same voice and the same sounds, in an order no text has.
// A recording that says the fragment favours the forward reference; one that says something
// else matches both alike (0 or less).
double Likeness(const ReferenceFragment& fragment, const Reference& reference,
                const SpeechFeatures& recording, std::size_t begin, std::size_t end) {
    const auto& cepstra = reference.features.cepstra;
    const std::vector<FeatureVector> forward(
        cepstra.begin() + static_cast<std::ptrdiff_t>(fragment.begin),
        cepstra.begin() + static_cast<std::ptrdiff_t>(fragment.end) + 1);
    const std::vector<FeatureVector> backward(forward.rbegin(), forward.rend());
    begin = std::min(begin, recording.FrameCount() - 1);
    const std::vector<FeatureVector> said(
        recording.cepstra.begin() + static_cast<std::ptrdiff_t>(begin),
        recording.cepstra.begin() + static_cast<std::ptrdiff_t>(std::max(end, begin + 1)));
    return 1.0 - MeanDistance(forward, said) / MeanDistance(backward, said);
}

// Calibrated with tavelio-bench-align on readings by another voice, at two speeds and in room
// noise: five lines of the text said average a likeness of 0.09 and more, of another text 0.07
// and less, most of them below 0.03.
double ConfidenceOfLikeness(double likeness) {
    constexpr double kUnlike = 0.04;
    constexpr double kLike = 0.10;
    return std::clamp((likeness - kUnlike) / (kLike - kUnlike), 0.0, 1.0);
}

// How many lines on each side a line's confidence is judged with: one short line says too little
// on its own, and a wrong page or another take differs over many lines. (A single line left
// unsaid shows in HeldShare instead.)
constexpr std::size_t kNeighbours = 2;

double NeighbourhoodLikeness(const std::vector<double>& likeness, std::size_t f) {
    const std::size_t first = f > kNeighbours ? f - kNeighbours : 0;
    const std::size_t last = std::min(likeness.size() - 1, f + kNeighbours);
    double sum = 0.0;
    for (std::size_t k = first; k <= last; ++k) {
        sum += likeness[k];
    }
    return sum / static_cast<double>(last - first + 1);
}

// The share of the reference's sound that the recording's stretch holds in sound of its own: a
// text that the recording does not say is squeezed by the warp into a moment or a silence.
double HeldShare(const ReferenceFragment& fragment, const Reference& reference,
                 const Pauses& pauses, std::size_t begin, std::size_t end) {
    std::size_t voiced = 0;
    for (std::size_t i = fragment.begin; i <= fragment.end; ++i) {
        if (reference.features.loudnessDb[i] >= kReferenceVoiceDb) {
            ++voiced;
        }
    }
    std::size_t sound = 0;
    for (std::size_t frame = begin; frame < end; ++frame) {
        if (!pauses.IsSilent(frame)) {
            ++sound;
        }
    }
    return voiced > 0 ? static_cast<double>(sound) / static_cast<double>(voiced) : 0.0;
}

// Every word of a fragment is said, so one that the warp leaves next to no time (a spelled
// letter run into the next, where the reference paused after it; a first word whose start moved
// past a breath) shares the time between its neighbours evenly with one of them: the word before
// it, or for the first word, whose start is the fragment's, the word after it. The warp knows no
// better there.
void ShareOutSqueezedWords(std::size_t end, std::vector<std::size_t>& onsets) {
    constexpr std::size_t kLeastWordFrames = kFramesPerSecond * 5 / 100;
    const auto nextOnset = [&](std::size_t w) {
        return w + 1 < onsets.size() ? onsets[w + 1] : end;
    };
    for (std::size_t w = 0; w < onsets.size(); ++w) {
        if (nextOnset(w) > onsets[w] + kLeastWordFrames) {
            continue;
        }
        if (w > 0 && nextOnset(w) > onsets[w - 1] + 2 * kLeastWordFrames) {
            onsets[w] = (onsets[w - 1] + nextOnset(w)) / 2;
        } else if (w == 0 && onsets.size() > 1 && nextOnset(1) > onsets[0] + 2 * kLeastWordFrames) {
            onsets[1] = (onsets[0] + nextOnset(1)) / 2;
        }
    }
}

std::string TwoDecimals(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

Alignment AlignRecording(const std::string& recordingPath, const std::vector<TextFragment>& text,
                         const AlignOptions& options) {
    ReferenceVoice voice(options.language);
    const Reference reference = SpeakReference(voice, text);
    Alignment alignment;
    const SpeechFeatures recording =
        DecodeRecording(recordingPath, voice.SampleRate(), alignment.durationMs);
    const Pauses pauses(recording.loudnessDb);
    const WarpPath warp =
        WarpOnto(reference.features.cepstra, recording.cepstra, WarpEnd::kWhereTheRecordingEnds);
    const std::size_t frames = recording.FrameCount();

    // Where the warp puts each fragment: begins[f] <= ends[f] <= begins[f + 1] from here on.
    const std::size_t count = text.size();
    std::vector<std::size_t> begins(count);
    std::vector<std::size_t> ends(count);
    for (std::size_t f = 0; f < count; ++f) {
        begins[f] = warp.firstMatch[reference.fragments[f].begin];
        ends[f] = std::max<std::size_t>(begins[f], warp.lastMatch[reference.fragments[f].end] + 1);
    }
    // The recording's first sound and its last, where they are near the warp's.
    if (const Pause* lead = pauses.At(begins.front()); lead != nullptr) {
        begins.front() = std::min(lead->end, ends.front());
    }
    if (const Pause* tail = pauses.At(std::min(frames - 1, ends.back()));
        tail != nullptr && tail->begin > begins.back()) {
        ends.back() = tail->begin;
    }
    // Each boundary between two fragments into the pause between them, else halfway between
    // where the warp ends the one and begins the other.
    for (std::size_t f = 0; f + 1 < count; ++f) {
        const std::size_t lo = std::min(ends[f], begins[f + 1]);
        const std::size_t hi = std::max(ends[f], begins[f + 1]);
        if (const Pause* pause = PauseBetween(pauses, lo, hi, begins[f], ends[f + 1])) {
            ends[f] = pause->begin;
            begins[f + 1] = AfterBreath(pauses, *pause, ends[f + 1]);
        } else {
            ends[f] = begins[f + 1] = (lo + hi) / 2;
        }
    }

    for (std::size_t f = 0; f < count; ++f) {
        const ReferenceFragment& source = reference.fragments[f];
        AlignedFragment fragment;
        fragment.page = text[f].page;
        fragment.indexOnPage = text[f].indexOnPage;
        fragment.text = text[f].text;
        fragment.beginMs = MsOfFrame(begins[f]);
        fragment.endMs = MsOfFrame(ends[f]);

        // Each word from where the warp puts its start, never inside a pause, in order.
        std::vector<std::size_t> onsets;
        for (const std::size_t word : source.words) {
            std::size_t onset = std::clamp<std::size_t>(warp.firstMatch[word], begins[f],
                                                        std::max(begins[f], ends[f] - 1));
            if (!onsets.empty()) {
                onset = std::max(onset, onsets.back());
            } else {
                onset = begins[f];
            }
            if (const Pause* pause = PauseAtOrJustAfter(pauses, onset);
                pause != nullptr && pause->end < ends[f]) {
                onset = pause->end;
            }
            onsets.push_back(onset);
        }
        ShareOutSqueezedWords(ends[f], onsets);
        for (std::size_t w = 0; w < onsets.size(); ++w) {
            std::size_t end = w + 1 < onsets.size() ? onsets[w + 1] : ends[f];
            for (std::size_t frame = onsets[w]; frame < end; ++frame) {
                if (const Pause* pause = pauses.At(frame)) {
                    end = std::max(pause->begin, onsets[w]);
                    break;
                }
            }
            fragment.words.push_back({text[f].words[w], MsOfFrame(onsets[w]), MsOfFrame(end)});
        }
        alignment.fragments.push_back(std::move(fragment));
    }
    std::vector<double> likeness;
    for (std::size_t f = 0; f < count; ++f) {
        likeness.push_back(
            Likeness(reference.fragments[f], reference, recording, begins[f], ends[f]));
    }
    std::vector<double> ownConfidence(count);
    for (std::size_t f = 0; f < count; ++f) {
        constexpr double kLeastHeld = 0.35;
        const double held =
            std::min(1.0, HeldShare(reference.fragments[f], reference, pauses, begins[f], ends[f]) /
                              kLeastHeld);
        alignment.fragments[f].confidence =
            ConfidenceOfLikeness(NeighbourhoodLikeness(likeness, f)) * held;
        ownConfidence[f] = ConfidenceOfLikeness(likeness[f]) * held;
    }
    for (std::size_t f = 0; f < count && options.refuseUnfound; ++f) {
        if (alignment.fragments[f].confidence >= kLeastConfidence) {
            continue;
        }
        // The neighbourhood that failed names the line in it that fails on its own, where one
        // does: in a recording cut short, the first line missing rather than the one before it.
        std::size_t unfound = f;
        for (std::size_t k = f; k < std::min(count, f + 2 * kNeighbours + 1); ++k) {
            if (ownConfidence[k] < kLeastConfidence) {
                unfound = k;
                break;
            }
        }
        throw AlignError("could not find \"" + text[unfound].text + "\" (" +
                         FragmentPlace(text[unfound]) + "); best match " +
                         TwoDecimals(alignment.fragments[unfound].confidence));
    }
    return alignment;
}

} // namespace tavelio::align
