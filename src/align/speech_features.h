// Frames of speech features for comparing two voices saying the same words: mel-frequency
// cepstral coefficients without the energy term, every 10 ms over 25 ms windows, and the frame's
// loudness for finding pauses. Built incrementally, so that a long recording is never held whole.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace tavelio::align {

inline constexpr int kFramesPerSecond = 100;
inline constexpr std::size_t kCepstra = 12;

using FeatureVector = std::array<float, kCepstra>;

struct SpeechFeatures {
    std::vector<FeatureVector> cepstra; // one per frame
    std::vector<float> loudnessDb;      // one per frame: the window's mean power in dB
    std::size_t FrameCount() const { return cepstra.size(); }
};

// Turns samples at one rate into frames as they arrive. Frame k covers the window starting at
// sample k * rate / 100.
class FeatureExtractor {
public:
    explicit FeatureExtractor(int sampleRate);
    ~FeatureExtractor();
    FeatureExtractor(const FeatureExtractor&) = delete;
    FeatureExtractor& operator=(const FeatureExtractor&) = delete;

    void Push(const float* samples, std::size_t count);
    void PushSilence(std::size_t count);
    std::size_t SamplesPushed() const { return pushed_; }

    // The frames of everything pushed; the last partial window is padded with silence. Each
    // coefficient is normalised to zero mean and unit variance over the whole signal, which takes
    // away most of what differs between two voices and two microphones, and then weighted, the
    // lower (the shape of the sounds) above the higher (the voice's own colour).
    SpeechFeatures Finish();

private:
    struct Fft;
    void AnalyseWindow();

    int sampleRate_;
    std::size_t windowLength_;
    std::vector<float> window_; // the samples of the window being filled
    std::size_t filled_ = 0;
    std::size_t unanalysed_ = 0; // samples pushed since the last window was analysed
    std::size_t pushed_ = 0;
    std::vector<float> taper_;
    std::vector<std::vector<std::pair<std::size_t, float>>> melFilters_;
    std::vector<std::array<float, kCepstra>> cosines_; // per mel band
    std::unique_ptr<Fft> fft_;
    SpeechFeatures features_;
};

} // namespace tavelio::align
