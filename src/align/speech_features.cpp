#include "align/speech_features.h"

#include <algorithm>
#include <cmath>
#include <fftw3.h>
#include <numbers>

namespace tavelio::align {
namespace {

constexpr std::size_t kMelBands = 32;
constexpr double kLowestHz = 80.0;
constexpr double kHighestHz = 7600.0;
constexpr double kPreEmphasis = 0.97;
// Power below this (about -100 dB of full scale) is taken as digital silence, so that the
// logarithm of a zero stays finite.
constexpr double kPowerFloor = 1e-10;

double HzToMel(double hz) {
    return 2595.0 * std::log10(1.0 + hz / 700.0);
}
double MelToHz(double mel) {
    return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0);
}

std::size_t PowerOfTwoAtLeast(std::size_t n) {
    std::size_t size = 1;
    while (size < n) {
        size *= 2;
    }
    return size;
}

// After normalisation every coefficient would count alike; the higher ones tell more of the
// speaker's voice than of the sounds said, so they weigh less in the distance of two voices.
double CepstrumWeight(std::size_t coefficient) {
    return 1.0 / (1.0 + 0.15 * static_cast<double>(coefficient));
}

} // namespace

struct FeatureExtractor::Fft {
    explicit Fft(std::size_t length)
        : size(length), input(fftwf_alloc_real(length)),
          output(fftwf_alloc_complex(length / 2 + 1)),
          plan(fftwf_plan_dft_r2c_1d(static_cast<int>(length), input, output, FFTW_ESTIMATE)) {}
    ~Fft() {
        fftwf_destroy_plan(plan);
        fftwf_free(output);
        fftwf_free(input);
    }
    Fft(const Fft&) = delete;
    Fft& operator=(const Fft&) = delete;

    std::size_t size;
    float* input;
    fftwf_complex* output;
    fftwf_plan plan;
};

FeatureExtractor::FeatureExtractor(int sampleRate)
    : sampleRate_(sampleRate), windowLength_(static_cast<std::size_t>(sampleRate) * 25 / 1000),
      window_(windowLength_), taper_(windowLength_),
      fft_(std::make_unique<Fft>(PowerOfTwoAtLeast(windowLength_))) {
    for (std::size_t n = 0; n < windowLength_; ++n) {
        taper_[n] = static_cast<float>(
            0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) /
                                   static_cast<double>(windowLength_ - 1)));
    }
    // Triangular filters evenly spaced on the mel scale, over the FFT's bins.
    const std::size_t bins = fft_->size / 2 + 1;
    const double binHz = static_cast<double>(sampleRate) / static_cast<double>(fft_->size);
    const double highestHz = std::min(kHighestHz, sampleRate / 2.0);
    const double lowMel = HzToMel(kLowestHz);
    const double highMel = HzToMel(highestHz);
    melFilters_.resize(kMelBands);
    for (std::size_t band = 0; band < kMelBands; ++band) {
        const auto edge = [&](std::size_t k) {
            return MelToHz(lowMel + (highMel - lowMel) * static_cast<double>(k) /
                                        static_cast<double>(kMelBands + 1));
        };
        const double left = edge(band);
        const double centre = edge(band + 1);
        const double right = edge(band + 2);
        for (std::size_t bin = 0; bin < bins; ++bin) {
            const double hz = static_cast<double>(bin) * binHz;
            double weight = 0.0;
            if (hz > left && hz <= centre) {
                weight = (hz - left) / (centre - left);
            } else if (hz > centre && hz < right) {
                weight = (right - hz) / (right - centre);
            }
            if (weight > 0.0) {
                melFilters_[band].emplace_back(bin, static_cast<float>(weight));
            }
        }
    }
    // The cosine transform of the log mel energies, coefficients 1 to 12 (0 is the loudness,
    // which tells more of the microphone than of the words).
    cosines_.resize(kMelBands);
    for (std::size_t band = 0; band < kMelBands; ++band) {
        for (std::size_t c = 0; c < kCepstra; ++c) {
            cosines_[band][c] = static_cast<float>(
                std::cos(std::numbers::pi * static_cast<double>(c + 1) *
                         (static_cast<double>(band) + 0.5) / static_cast<double>(kMelBands)));
        }
    }
}

FeatureExtractor::~FeatureExtractor() = default;

void FeatureExtractor::Push(const float* samples, std::size_t count) {
    pushed_ += count;
    while (count > 0) {
        const std::size_t take = std::min(count, windowLength_ - filled_);
        std::copy_n(samples, take, window_.begin() + static_cast<std::ptrdiff_t>(filled_));
        filled_ += take;
        unanalysed_ += take;
        samples += take;
        count -= take;
        if (filled_ == windowLength_) {
            AnalyseWindow();
            unanalysed_ = 0;
            // Frame k starts at sample k * rate / 100 exactly, so that frames stay on the clock
            // at rates that are no multiple of 100 (22050 Hz): a whole-sample hop would drift.
            const std::size_t frames = features_.cepstra.size();
            const std::size_t hop =
                (frames * static_cast<std::size_t>(sampleRate_)) / kFramesPerSecond -
                ((frames - 1) * static_cast<std::size_t>(sampleRate_)) / kFramesPerSecond;
            std::copy(window_.begin() + static_cast<std::ptrdiff_t>(hop), window_.end(),
                      window_.begin());
            filled_ = windowLength_ - hop;
        }
    }
}

void FeatureExtractor::PushSilence(std::size_t count) {
    const std::vector<float> zeros(std::min<std::size_t>(count, 4096), 0.0f);
    while (count > 0) {
        const std::size_t take = std::min(count, zeros.size());
        Push(zeros.data(), take);
        count -= take;
    }
}

void FeatureExtractor::AnalyseWindow() {
    double power = 0.0;
    float previous = 0.0f;
    for (std::size_t n = 0; n < windowLength_; ++n) {
        const float sample = window_[n];
        power += static_cast<double>(sample) * sample;
        fft_->input[n] = (sample - static_cast<float>(kPreEmphasis) * previous) * taper_[n];
        previous = sample;
    }
    std::fill(fft_->input + windowLength_, fft_->input + fft_->size, 0.0f);
    fftwf_execute(fft_->plan);

    std::array<float, kMelBands> logMel{};
    for (std::size_t band = 0; band < kMelBands; ++band) {
        double energy = 0.0;
        for (const auto& [bin, weight] : melFilters_[band]) {
            const double re = fft_->output[bin][0];
            const double im = fft_->output[bin][1];
            energy += weight * (re * re + im * im);
        }
        logMel[band] = static_cast<float>(std::log(std::max(energy, kPowerFloor)));
    }
    FeatureVector cepstrum{};
    for (std::size_t band = 0; band < kMelBands; ++band) {
        for (std::size_t c = 0; c < kCepstra; ++c) {
            cepstrum[c] += logMel[band] * cosines_[band][c];
        }
    }
    features_.cepstra.push_back(cepstrum);
    features_.loudnessDb.push_back(static_cast<float>(
        10.0 * std::log10(std::max(power / static_cast<double>(windowLength_), kPowerFloor))));
}

SpeechFeatures FeatureExtractor::Finish() {
    if (unanalysed_ > 0 || features_.cepstra.empty()) {
        const std::size_t pushedBefore = pushed_;
        PushSilence(windowLength_ - filled_);
        pushed_ = pushedBefore;
    }
    const std::size_t frames = features_.cepstra.size();
    for (std::size_t c = 0; c < kCepstra; ++c) {
        double sum = 0.0;
        double squares = 0.0;
        for (const auto& frame : features_.cepstra) {
            sum += frame[c];
            squares += static_cast<double>(frame[c]) * frame[c];
        }
        const double mean = sum / static_cast<double>(frames);
        const double variance = std::max(squares / static_cast<double>(frames) - mean * mean, 1e-6);
        const double scale = CepstrumWeight(c) / std::sqrt(variance);
        for (auto& frame : features_.cepstra) {
            frame[c] = static_cast<float>((frame[c] - mean) * scale);
        }
    }
    return std::move(features_);
}

} // namespace tavelio::align
