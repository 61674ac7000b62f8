// The books that tavelio-book make built, held against what their narrators really said: the
// synthesiser's own times of every phrase and word, which make never saw. Each page's stretch must
// hold exactly its own words, and each arrow stop, rhyme and read-through step must come within
// the alignment budget of its word being said.
#include "book/book_source.h"
#include "content/database_reader.h"
#include "content/page_script_grammar.h"
#include "content/page_table.h"
#include "content/tilde_lines.h"
#include "support/scratch_dir.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tavelio {
namespace {

namespace fs = std::filesystem;

// How far from its word a page script's moment may come, as a child sees the arrow.
constexpr double kBudgetMs = 150;

struct MadeBook {
    const char* name;
    const char* dataFolder; // what make wrote
    const char* workFolder; // the source as make read it, and the narrator's truth.json
};

struct SaidPhrase {
    double startMs = 0;
    double endMs = 0;
    std::vector<double> wordsAtMs;
};

class MadeBookTimingTest : public ::testing::TestWithParam<MadeBook> {
protected:
    MadeBookTimingTest() {
        const MadeBook& book = GetParam();
        LoadDatabase((fs::path(book.dataFolder) / "QVDB.dat").string(), scratch_.Path("ZBM.TTF"),
                     table_);
        source_ = book::ReadBookSource(fs::path(book.workFolder) / "book.json");
        std::ifstream file(fs::path(book.workFolder) / "truth.json");
        const nlohmann::json truth = nlohmann::json::parse(file);
        for (const auto& page : truth.at("pages")) {
            std::vector<SaidPhrase> phrases;
            for (const auto& phrase : page.at("phrases")) {
                SaidPhrase said{phrase.at("start"), phrase.at("end"), {}};
                for (const auto& word : phrase.at("words")) {
                    said.wordsAtMs.push_back(word.at("at"));
                }
                phrases.push_back(said);
            }
            truth_.push_back(phrases);
        }
    }

    const QVDBType& Record(int pageNo) const { return table_.At(pageNo + 1); }
    const SaidPhrase& Said(int pageNo, int phrase) const {
        return truth_.at(static_cast<std::size_t>(pageNo)).at(static_cast<std::size_t>(phrase));
    }
    // When the narrator starts the phrase, counted as the page script counts: from SpeechStart.
    double OnsetInPage(int pageNo, int phrase) const {
        return Said(pageNo, phrase).startMs - Record(pageNo).SpeechStart;
    }

    void ExpectNear(double made, double said, int pageNo, const std::string& what) const {
        EXPECT_LE(std::abs(made - said), kBudgetMs)
            << GetParam().name << " page " << pageNo << ", " << what << ": at " << made
            << " ms, said at " << said << " ms";
    }

    // A read-through block at line block, begun at from: step k comes when the narrator starts
    // the phrase that begins its group.
    void ExpectReadThrough(const ScriptLines& script, std::int32_t block, double from,
                           const book::SourcePage& page) const {
        double moment = from;
        std::int32_t line = block + 1;
        for (const int phrase : page.script.readThrough) {
            moment += script.Number(line++);
            ExpectNear(moment, OnsetInPage(page.pageNo, phrase), page.pageNo, "read-through step");
        }
    }

    test::ScratchDir scratch_;
    PageTable table_;
    book::BookSource source_;
    std::vector<std::vector<SaidPhrase>> truth_;
};

TEST_P(MadeBookTimingTest, EveryStretchHoldsItsOwnWordsAndNoneOfItsNeighbours) {
    for (int pageNo = 0; pageNo < static_cast<int>(truth_.size()); ++pageNo) {
        const QVDBType& page = Record(pageNo);
        const auto& said = truth_[static_cast<std::size_t>(pageNo)];
        EXPECT_LE(page.SpeechStart, said.front().startMs) << "page " << pageNo;
        EXPECT_GE(page.SpeechEnd, said.back().endMs) << "page " << pageNo;
        if (pageNo + 1 < static_cast<int>(truth_.size())) {
            EXPECT_LT(page.SpeechEnd, Said(pageNo + 1, 0).startMs) << "page " << pageNo;
        }
    }
}

TEST_P(MadeBookTimingTest, ScriptMomentsComeAsTheirWordsAreSaid) {
    int arrowStops = 0;
    for (const book::SourcePage& source : source_.pages) {
        const std::vector<std::string> lines = SplitTildeLines(Record(source.pageNo).ScriptText);
        const ScriptLines script(lines);
        const auto mode = ModeOfScript(script);
        if (mode == ScriptMode::ReadThrough) {
            ExpectReadThrough(script, kModeLine, 0, source);
        }
        if (mode == ScriptMode::Rhymes) {
            ExpectNear(script.Number(1), OnsetInPage(source.pageNo, source.script.rhymes->phrase),
                       source.pageNo, "rhymes");
        }
        if (mode != ScriptMode::Arrows) {
            continue;
        }
        std::vector<double> words;
        for (const int phrase : source.script.arrow) {
            for (const double at : Said(source.pageNo, phrase).wordsAtMs) {
                words.push_back(at - Record(source.pageNo).SpeechStart);
            }
        }
        double moment = script.Number(kArrowFirstDelayLine);
        std::int32_t line = kFirstArrowInstructionLine;
        for (const double word : words) {
            ASSERT_TRUE(ArrowCodeTakesLeft(ArrowCodeOf(script.Number(line)))) << source.pageNo;
            ExpectNear(moment, word, source.pageNo, "arrow stop " + std::to_string(++arrowStops));
            moment += script.Number(line + 2);
            line += 3;
        }
        if (source.script.rhymes) {
            ExpectNear(moment + script.Number(line + 1),
                       OnsetInPage(source.pageNo, source.script.rhymes->phrase), source.pageNo,
                       "rhymes after the arrow");
        } else if (!source.script.readThrough.empty()) {
            ExpectReadThrough(script, line, moment, source);
        }
    }
    EXPECT_GT(arrowStops, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Books, MadeBookTimingTest,
    ::testing::Values(MadeBook{"demo", TAVELIO_DEMO_DIR, TAVELIO_DEMO_WORK_DIR},
                      MadeBook{"kite", TAVELIO_KITE_DIR, TAVELIO_KITE_WORK_DIR}),
    [](const ::testing::TestParamInfo<MadeBook>& book) { return std::string(book.param.name); });

} // namespace
} // namespace tavelio
