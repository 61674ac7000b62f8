// tavelio-book make: what it refuses and how it names the problem, that a refusal leaves the
// output folder as it was, and the two ways of giving the recording. The made demo book itself is
// measured against its narrator in tests/books.
#include "book/make_command.h"
#include "book/tool_error.h"
#include "content/database_reader.h"
#include "content/page_table.h"
#include "support/scratch_dir.h"

#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.h>
#include <sstream>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Json = nlohmann::json;

// The example books' sources as make read them, beside their pictures, clips and recordings.
const fs::path kDemoWork = TAVELIO_DEMO_WORK_DIR;
const fs::path kKiteWork = TAVELIO_KITE_WORK_DIR;

class MakeCommandTest : public ::testing::Test {
protected:
    MakeCommandTest() { UseBook(kDemoWork); }

    // The source of the book in work, beside links to its files.
    void UseBook(const fs::path& work) {
        work_ = work;
        for (const char* shared : {"pictures", "clips", "recording.wav", "story.txt"}) {
            fs::remove(dir_.Root() / shared);
            if (fs::exists(work / shared)) {
                fs::create_symlink(work / shared, dir_.Root() / shared);
            }
        }
        ReadSource();
    }

    void ReadSource() {
        std::ifstream file(work_ / "book.json");
        source_ = Json::parse(file, nullptr, true, true);
    }

    Json& Page(int pageNo) { return source_["pages"][static_cast<std::size_t>(pageNo)]; }
    fs::path Out() const { return dir_.Root() / "out"; }

    // Writes the source and makes it into Out(); returns what make refused, or "" when it made
    // the book.
    std::string Make() {
        const fs::path path = dir_.Root() / "book.json";
        std::ofstream(path) << source_.dump();
        std::ostringstream out;
        try {
            RunMake(path, Out(), out, nullptr);
        } catch (const ToolError& refusal) {
            return refusal.what();
        }
        return "";
    }

    // Nothing but the source's own files and what the test put there.
    void ExpectNothingLeftBehind() const {
        for (const auto& entry : fs::directory_iterator(dir_.Root())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".out.making"))
                << entry.path();
        }
    }

    test::ScratchDir dir_;
    fs::path work_;
    Json source_;
};

TEST_F(MakeCommandTest, RefusesWhatTheReaderCouldNotShowNamingThePageAndField) {
    const struct {
        std::function<void(Json&)> spoil;
        const char* said;
    } cases[] = {
        {[](Json& book) { book["pages"][3]["picture"] = "pictures/missing.jpg"; },
         "book.json, page 3, picture: "},
        {[](Json& book) {
             book["pages"][2]["script"] = {{"arrow", {0}}};
         },
         "book.json, page 2, script: an arrow needs ruled lines, and a page of kind 0 has none"},
        {[](Json& book) { book["pages"][1]["text"] = {"Ann has a \xe7\xa7\x8d."}; },
         "book.json, page 1, text: \"Ann has a \xe7\xa7\x8d.\" holds the character U+79CD"},
        {[](Json& book) {
             book["pages"][6]["script"]["words"] = {"feed", "weed"};
         },
         "book.json, page 6, script: rhymes show exactly three \"words\""},
        {[](Json& book) { book["pages"][4]["text"].push_back("and tall."); },
         "book.json, page 4, text: 4 lines, but a page of kind 3 has 3 ruled lines"},
        {[](Json& book) { book["recording"] = "story.txt"; }, "book.json, recording: "},
    };
    for (const auto& spoilt : cases) {
        ReadSource();
        spoilt.spoil(source_);
        EXPECT_THAT(Make(), HasSubstr(spoilt.said));
        EXPECT_FALSE(fs::exists(Out()));
        ExpectNothingLeftBehind();
    }
}

// Pages of another text: the author rewrote them after recording.
TEST_F(MakeCommandTest, RefusesPagesTheRecordingDoesNotSayAndKeepsTheBookThatWasThere) {
    fs::create_directory(Out());
    std::ofstream(Out() / "QVDB.dat") << "the author's earlier book";
    Page(3)["say"] = {"The cat sat on the mat.", "It was a sunny day."};
    Page(4)["say"] = {"A dog ran to the park.", "He found a big red ball."};
    Page(5)["say"] = {"Birds sing in the morning.", "The sky is blue.", "We like to play."};
    EXPECT_THAT(Make(), HasSubstr("book.json, recording: the recording could not find \""));
    std::ifstream kept(Out() / "QVDB.dat");
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(kept), {}) ==
                "the author's earlier book");
    ExpectNothingLeftBehind();
}

TEST_F(MakeCommandTest, RefusesALineTooWideForItsRuledLine) {
    Page(1)["text"] = {"Ann has a seed, a very big seed, the biggest seed."};
    EXPECT_THAT(Make(), HasSubstr("book.json, page 1, text: \"Ann has a seed, a very big seed, the "
                                  "biggest seed.\" is too wide for its ruled line"));
}

TEST_F(MakeCommandTest, ReplacesOnlyAFolderThatHoldsABook) {
    fs::create_directory(Out());
    std::ofstream(Out() / "letter.txt") << "not a book";
    EXPECT_THAT(Make(), HasSubstr("holds files but no book"));
    EXPECT_TRUE(fs::exists(Out() / "letter.txt"));
}

// Some authors record page by page: the pages' recordings (here the kite book's, a voice in a
// room) are joined with pauses of the room's own sound, and each page is found in its own.
TEST_F(MakeCommandTest, JoinsRecordingsMadeOnePageAtATime) {
    UseBook(kKiteWork);
    SF_INFO info{};
    SNDFILE* whole = sf_open((kKiteWork / "recording.ogg").c_str(), SFM_READ, &info);
    ASSERT_NE(whole, nullptr);
    std::vector<float> samples(static_cast<std::size_t>(info.frames));
    sf_readf_float(whole, samples.data(), info.frames);
    sf_close(whole);
    std::ifstream truthFile(kKiteWork / "truth.json");
    const Json truth = Json::parse(truthFile);
    // Cut in the middle of each pause between two pages.
    std::vector<sf_count_t> cuts{0};
    for (std::size_t p = 1; p < truth["pages"].size(); ++p) {
        const double end = truth["pages"][p - 1]["phrases"].back()["end"];
        const double start = truth["pages"][p]["phrases"][0]["start"];
        cuts.push_back(static_cast<sf_count_t>((end + start) / 2 * info.samplerate / 1000));
    }
    cuts.push_back(info.frames);
    source_.erase("recording");
    for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
        const std::string name = "page" + std::to_string(p) + ".wav";
        SF_INFO pageInfo{};
        pageInfo.samplerate = info.samplerate;
        pageInfo.channels = 1;
        pageInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* page = sf_open((dir_.Root() / name).c_str(), SFM_WRITE, &pageInfo);
        sf_writef_float(page, samples.data() + cuts[p], cuts[p + 1] - cuts[p]);
        sf_close(page);
        Page(static_cast<int>(p))["recording"] = name;
    }
    ASSERT_EQ(Make(), "");
    PageTable table;
    LoadDatabase((Out() / "QVDB.dat").string(), dir_.Path("font.ttf"), table);
    // A quarter of a second before the first page, then 0.7 s between pages.
    const double firstWord = truth["pages"][0]["phrases"][0]["start"];
    EXPECT_LE(table.At(1).SpeechStart, 250 + firstWord);
    EXPECT_GE(table.At(1).SpeechStart, 250);
    for (int slot = 2; slot <= 12; ++slot) {
        EXPECT_GT(table.At(slot).SpeechStart, table.At(slot - 1).SpeechEnd + 700) << slot;
    }
}

} // namespace
} // namespace tavelio::book
