// tavelio-bench-align: measures the aligner on readings whose word times are known (festival's
// voice, two speaking rates, room noise) and on a long reading for speed and memory, and holds
// the figures against the budgets. Prints a summary, then one JSON object.
#include "align/aligner.h"
#include "align/audio_decoder.h"
#include "align/reading_text.h"
#include "bench-align/test_reading.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using tavelio::align::Alignment;
using tavelio::bench_align::TestReading;

// A book's worth of our own text: twelve pages of one to three lines.
constexpr const char* kStory = R"(Pip and the Kite

Pip has a red kite.
The kite has a long tail.

The wind is strong today.
Pip runs up the hill.

Up goes the kite!
It flies over the trees.

A bird comes to look.
The bird sings to the kite.

Then the wind stops.
Down comes the kite, down and down.

It lands in a pond.
Pip is sad.

A duck swims to the kite.
She pulls it out with her beak.

Pip says thank you to the duck.
The duck says quack.

The kite is wet and cold.
Pip puts it in the sun.

Soon the kite is dry.
The wind comes back.

Up goes the kite again,
higher than the bird, higher than the hill.

Pip and the kite go home.
The end.
)";

const tavelio::align::AlignOptions kMeasuring{"en-us", false};

// Lines that the readings never say, for the refusal of a wrong text: as many as the story has.
constexpr const char* kOtherLines[] = {
    "Milo bakes bread.",         "The oven is warm.",        "He mixes flour and milk.",
    "The dough gets big.",       "Milo cuts four slices.",   "His sister wants jam.",
    "They eat at noon.",         "A cat sleeps on a mat.",   "Rain taps on the roof.",
    "The bus is late.",          "Six frogs jump in a row.", "My boots are wet.",
    "We sing a song.",           "The moon is round.",       "Grandpa fixes the fence.",
    "A fox hides in the grass.", "The clock ticks.",         "She draws a blue fish.",
    "Ten ants carry a crumb.",   "The river is wide.",       "He lost his hat.",
    "Snow falls all night.",     "The baby laughs.",         "We plant beans in May.",
    "Good night, little owl."};

// Budgets of the aligner.
constexpr double kOnsetMedianBudgetMs = 50.0;
constexpr double kOnsetP95BudgetMs = 150.0;
constexpr double kLeastTimesRealTime = 30.0;
constexpr double kMostMiBPerHour = 300.0;

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Accuracy {
    std::vector<double> onsetErrors;
    std::vector<double> boundaryErrors;
    int pageBoundaries = 0;
    int pageBoundariesInPause = 0;
};

void Measure(const TestReading& reading, const Alignment& alignment, Accuracy& accuracy) {
    for (std::size_t f = 0; f < reading.text.size(); ++f) {
        const auto& known = reading.words[f];
        const auto& found = alignment.fragments[f];
        for (std::size_t w = 0; w < known.size() && w < found.words.size(); ++w) {
            accuracy.onsetErrors.push_back(std::abs(found.words[w].beginMs - known[w].beginMs));
        }
        accuracy.boundaryErrors.push_back(std::abs(found.beginMs - known.front().beginMs));
        accuracy.boundaryErrors.push_back(std::abs(found.endMs - known.back().endMs));
        if (f + 1 < reading.text.size() && reading.text[f + 1].page != reading.text[f].page) {
            // The pause between two pages: from the last word's end to the next page's first.
            const double pauseBegin = known.back().endMs;
            const double pauseEnd = reading.words[f + 1].front().beginMs;
            const auto& next = alignment.fragments[f + 1];
            ++accuracy.pageBoundaries;
            // A book cuts the narration between two pages in the middle of the quiet that the
            // aligner found between them.
            const double cut = (found.endMs + next.beginMs) / 2.0;
            if (cut > pauseBegin && cut < pauseEnd) {
                ++accuracy.pageBoundariesInPause;
            }
        }
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    double longMinutes = 10.0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--minutes" && i + 1 < argc) {
            longMinutes = std::atof(argv[++i]);
        } else {
            std::cout << "usage: tavelio-bench-align [--minutes M]\n"
                         "  measures the aligner's accuracy on readings with known word times\n"
                         "  and its speed and memory on a reading of at least M minutes "
                         "(default 10)\n";
            return argument == "--help" ? 0 : 2;
        }
    }
    const auto folder = std::filesystem::temp_directory_path() / "tavelio-bench-align";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto text = tavelio::align::ReadReadingText(kStory);

    try {
        // The long reading first, so that the peak memory is its own.
        const double roundMs =
            tavelio::bench_align::MakeTestReading(folder.string(), "once.wav", text, 1.0, 1)
                .durationMs;
        const int repeats =
            std::max(1, static_cast<int>(std::ceil(longMinutes * 60000.0 / roundMs)));
        const TestReading longReading =
            tavelio::bench_align::MakeTestReading(folder.string(), "long.wav", text, 1.0, repeats);
        auto start = std::chrono::steady_clock::now();
        tavelio::align::DecodeAudio(longReading.recordingPath, 22050,
                                    [](const float*, std::size_t) {});
        const double decodeSeconds = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        const Alignment longAlignment =
            tavelio::align::AlignRecording(longReading.recordingPath, longReading.text, kMeasuring);
        const double alignSeconds = SecondsSince(start);
        const double peakMiB = PeakMiB();
        Accuracy longAccuracy;
        Measure(longReading, longAlignment, longAccuracy);

        Accuracy accuracy;
        nlohmann::ordered_json rates = nlohmann::ordered_json::array();
        for (const double stretch : {1.0, 1.4}) {
            const TestReading reading = tavelio::bench_align::MakeTestReading(
                folder.string(), "reading.wav", text, stretch, 1);
            const Alignment alignment =
                tavelio::align::AlignRecording(reading.recordingPath, reading.text, kMeasuring);
            Accuracy one;
            Measure(reading, alignment, one);
            Measure(reading, alignment, accuracy);
            double leastConfidence = 1.0;
            for (const auto& fragment : alignment.fragments) {
                leastConfidence = std::min(leastConfidence, fragment.confidence);
            }
            // The same recording held against lines it does not say, as a wrong book or
            // another take would be.
            std::vector<tavelio::align::TextFragment> wrong = reading.text;
            for (std::size_t f = 0; f < wrong.size(); ++f) {
                wrong[f] = tavelio::align::ReadReadingText(kOtherLines[f % std::size(kOtherLines)])
                               .front();
                wrong[f].page = reading.text[f].page;
            }
            const Alignment wrongAlignment =
                tavelio::align::AlignRecording(reading.recordingPath, wrong, kMeasuring);
            double mostWrongConfidence = 0.0;
            int wrongRefused = 0;
            for (const auto& fragment : wrongAlignment.fragments) {
                mostWrongConfidence = std::max(mostWrongConfidence, fragment.confidence);
                wrongRefused += fragment.confidence < tavelio::align::kLeastConfidence ? 1 : 0;
            }
            std::cout << "tempo " << 1.0 / stretch << ": confidence of the right lines at least "
                      << leastConfidence << ", of the wrong lines at most " << mostWrongConfidence
                      << "; " << wrongRefused << " of " << wrong.size()
                      << " wrong lines refused (below " << tavelio::align::kLeastConfidence
                      << ")\n";
            rates.push_back({{"tempo", 1.0 / stretch},
                             {"onset_median_ms", Percentile(one.onsetErrors, 0.5)},
                             {"onset_p95_ms", Percentile(one.onsetErrors, 0.95)},
                             {"least_confidence", leastConfidence},
                             {"most_wrong_confidence", mostWrongConfidence},
                             {"wrong_lines_refused", wrongRefused}});
        }

        const double hours = longReading.durationMs / 3'600'000.0;
        const double timesRealTime = longReading.durationMs / 1000.0 / alignSeconds;
        const double mibPerHour = peakMiB / std::max(hours, 1.0);
        const nlohmann::ordered_json report = {
            {"words", accuracy.onsetErrors.size()},
            {"onset_median_ms", Percentile(accuracy.onsetErrors, 0.5)},
            {"onset_p95_ms", Percentile(accuracy.onsetErrors, 0.95)},
            {"boundary_median_ms", Percentile(accuracy.boundaryErrors, 0.5)},
            {"boundary_p95_ms", Percentile(accuracy.boundaryErrors, 0.95)},
            {"page_boundaries", accuracy.pageBoundaries},
            {"page_boundaries_in_pause", accuracy.pageBoundariesInPause},
            {"rates", rates},
            {"long_recording_s", longReading.durationMs / 1000.0},
            {"decode_s", decodeSeconds},
            {"align_s", alignSeconds},
            {"times_real_time", timesRealTime},
            {"peak_mib", peakMiB},
            {"long_onset_median_ms", Percentile(longAccuracy.onsetErrors, 0.5)},
            {"long_page_boundaries_in_pause", longAccuracy.pageBoundariesInPause},
            {"long_page_boundaries", longAccuracy.pageBoundaries}};
        const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
        std::cout << "word onsets: median " << Percentile(accuracy.onsetErrors, 0.5)
                  << " ms (budget " << kOnsetMedianBudgetMs << ": "
                  << verdict(Percentile(accuracy.onsetErrors, 0.5) <= kOnsetMedianBudgetMs)
                  << "), 95% " << Percentile(accuracy.onsetErrors, 0.95) << " ms (budget "
                  << kOnsetP95BudgetMs << ": "
                  << verdict(Percentile(accuracy.onsetErrors, 0.95) <= kOnsetP95BudgetMs) << ")\n"
                  << "fragment boundaries: median " << Percentile(accuracy.boundaryErrors, 0.5)
                  << " ms, 95% " << Percentile(accuracy.boundaryErrors, 0.95) << " ms\n"
                  << "page boundaries in their pause: " << accuracy.pageBoundariesInPause << " of "
                  << accuracy.pageBoundaries << " ("
                  << verdict(accuracy.pageBoundariesInPause == accuracy.pageBoundaries) << ")\n"
                  << "speed: " << longReading.durationMs / 60000.0 << " min aligned in "
                  << alignSeconds << " s, " << timesRealTime << "x real time (budget "
                  << kLeastTimesRealTime << "x: " << verdict(timesRealTime >= kLeastTimesRealTime)
                  << "); decoding alone " << decodeSeconds << " s\n"
                  << "memory: peak " << peakMiB << " MiB for " << hours * 60.0 << " min (budget "
                  << kMostMiBPerHour
                  << " MiB for an hour: " << verdict(mibPerHour <= kMostMiBPerHour) << ")\n"
                  << report.dump() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "tavelio-bench-align: " << error.what() << '\n';
        return 1;
    }
    std::filesystem::remove_all(folder);
    return 0;
}
