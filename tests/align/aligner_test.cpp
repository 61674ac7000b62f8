// The aligner on a reading by another voice than its reference, in room noise: where it puts the
// words and the page boundaries, and what it refuses.
#include "align/align_error.h"
#include "align/aligner.h"
#include "bench-align/test_reading.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavelio::align {
namespace {

using ::testing::HasSubstr;

constexpr const char* kText = "Ann has a seed.\nShe puts it in a pot.\n\n"
                              "The sun is hot.\n\nUp comes a green shoot!\nAnn is glad.\n";

class AlignerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new test::ScratchDir;
        reading_ = new bench_align::TestReading(bench_align::MakeTestReading(
            scratch_->Root().string(), "reading.wav", ReadReadingText(kText), 1.0, 1));
    }
    static void TearDownTestSuite() {
        delete reading_;
        delete scratch_;
    }

    static std::string Refusal(const std::string& recording, const std::string& text) {
        try {
            AlignRecording(recording, ReadReadingText(text), {});
        } catch (const AlignError& error) {
            return error.what();
        }
        return "accepted";
    }

    static test::ScratchDir* scratch_;
    static bench_align::TestReading* reading_;
};

test::ScratchDir* AlignerTest::scratch_ = nullptr;
bench_align::TestReading* AlignerTest::reading_ = nullptr;

TEST_F(AlignerTest, FindsEachWordAndCutsPagesInTheirPauses) {
    const Alignment alignment = AlignRecording(reading_->recordingPath, reading_->text, {});
    EXPECT_NEAR(alignment.durationMs, reading_->durationMs, 10);
    ASSERT_EQ(alignment.fragments.size(), reading_->text.size());
    std::vector<double> errors;
    for (std::size_t f = 0; f < alignment.fragments.size(); ++f) {
        const AlignedFragment& found = alignment.fragments[f];
        const auto& known = reading_->words[f];
        EXPECT_GE(found.confidence, kLeastConfidence) << found.text;
        ASSERT_EQ(found.words.size(), known.size());
        for (std::size_t w = 0; w < known.size(); ++w) {
            errors.push_back(std::abs(found.words[w].beginMs - known[w].beginMs));
            EXPECT_LE(found.words[w].beginMs, found.words[w].endMs);
        }
        if (f + 1 < alignment.fragments.size()) {
            const AlignedFragment& next = alignment.fragments[f + 1];
            EXPECT_LE(found.endMs, next.beginMs) << "fragments overlap";
            if (next.page != found.page) {
                const double cut = (found.endMs + next.beginMs) / 2.0;
                EXPECT_GT(cut, known.back().endMs) << found.text;
                EXPECT_LT(cut, reading_->words[f + 1].front().beginMs) << next.text;
            }
        }
    }
    std::sort(errors.begin(), errors.end());
    EXPECT_LE(errors[errors.size() / 2], 50.0);
    EXPECT_LE(errors.back(), 150.0);
}

TEST_F(AlignerTest, RefusesTextTheRecordingDoesNotSay) {
    EXPECT_THAT(Refusal(reading_->recordingPath,
                        "The cat sat on the mat.\nA dog ran to the park.\n\nMy bike is red.\n\n"
                        "We like to jump and play!\nDad cooks rice.\n"),
                HasSubstr("could not find \"The cat sat on the mat.\" (page 0, fragment 1); "
                          "best match 0."));
    // One line more than was read: the first line the recording lacks is named.
    EXPECT_THAT(
        Refusal(reading_->recordingPath, std::string(kText) + "\nThe plant is big and tall.\n"),
        HasSubstr("\"The plant is big and tall.\" (page 3, fragment 1)"));
}

TEST_F(AlignerTest, RefusesFilesThatHoldNoSpeechAndLanguagesItDoesNotKnow) {
    const std::string empty = scratch_->Path("empty.wav");
    std::ofstream{empty};
    const std::string notAudio = scratch_->Path("notes.wav");
    std::ofstream{notAudio} << kText;
    const std::string silent = scratch_->Path("silent.wav");
    ASSERT_EQ(std::system(("sox -n -r 16000 -c 2 '" + silent + "' trim 0 2").c_str()), 0);
    EXPECT_EQ(Refusal(scratch_->Path("nowhere.wav"), kText), "no such file");
    EXPECT_EQ(Refusal(empty, kText), "the file is empty");
    EXPECT_EQ(Refusal(notAudio, kText), "not an audio file that can be decoded");
    EXPECT_THAT(Refusal(silent, kText), HasSubstr("no speech in the recording"));
    try {
        AlignRecording(reading_->recordingPath, ReadReadingText(kText), {"xx-nowhere"});
        FAIL() << "an unknown language was taken";
    } catch (const AlignError& error) {
        EXPECT_THAT(error.what(), HasSubstr("no language 'xx-nowhere'"));
    }
}

} // namespace
} // namespace tavelio::align
