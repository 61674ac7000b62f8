// tavelio-book align: the JSON it prints, and the files its refusals name.
#include "bench-align/test_reading.h"
#include "book/align_command.h"
#include "book/tool_error.h"
#include "support/scratch_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tavelio::book {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kText = "Ann has a seed.\n\nThe sun is hot.\n";

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.push_back(key);
    }
    return keys;
}

TEST(AlignCommandTest, PrintsEveryFragmentAndWordInWholeMilliseconds) {
    test::ScratchDir dir;
    const auto reading = bench_align::MakeTestReading(dir.Root().string(), "reading.wav",
                                                      align::ReadReadingText(kText), 1.0, 1);
    test::WriteFile(dir.Path("text.txt"), kText);
    std::ostringstream out;
    RunAlign(reading.recordingPath, dir.Path("text.txt"), "en-us", out);
    const auto json = nlohmann::ordered_json::parse(out.str());
    EXPECT_THAT(Keys(json), ElementsAre("recording", "duration_ms", "fragments"));
    EXPECT_EQ(json["recording"], reading.recordingPath);
    ASSERT_EQ(json["fragments"].size(), 2u);
    const auto& second = json["fragments"][1];
    EXPECT_THAT(Keys(second),
                ElementsAre("page", "text", "begin_ms", "end_ms", "confidence", "words"));
    EXPECT_EQ(second["page"], 1);
    EXPECT_EQ(second["text"], "The sun is hot.");
    EXPECT_TRUE(second["begin_ms"].is_number_integer());
    EXPECT_THAT(Keys(second["words"][3]), ElementsAre("text", "begin_ms", "end_ms"));
    EXPECT_EQ(second["words"][3]["text"], "hot.");
}

TEST(AlignCommandTest, RefusalsNameTheTextOrTheRecording) {
    test::ScratchDir dir;
    test::WriteFile(dir.Path("text.txt"), "\n\n");
    std::ostringstream out;
    try {
        RunAlign(dir.Path("reading.wav"), dir.Path("text.txt"), "en-us", out);
        FAIL() << "an empty text was aligned";
    } catch (const ToolError& error) {
        EXPECT_THAT(error.what(), HasSubstr("text.txt: no text to find"));
    }
    test::WriteFile(dir.Path("text.txt"), kText);
    try {
        RunAlign(dir.Path("reading.wav"), dir.Path("text.txt"), "en-us", out);
        FAIL() << "a missing recording was aligned";
    } catch (const ToolError& error) {
        EXPECT_EQ(error.what(), dir.Path("reading.wav") + ": no such file");
    }
    EXPECT_EQ(out.str(), "");
}

} // namespace
} // namespace tavelio::book
