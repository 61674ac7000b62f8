// The script grammar's own rules, where the book checker's tests don't already pin them: how
// lines are read at and past the end, which line 0 starts which mode, how arrow instructions
// take their lines, and what a hand-over holds.
#include "content/page_script_grammar.h"
#include "content/tilde_lines.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(PageScriptGrammarTest, LinesPastTheEndReadEmptyAndAsZero) {
    const std::vector<std::string> text{"3", "1000"};
    const ScriptLines lines(text);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Line(1), "1000");
    EXPECT_EQ(lines.Line(2), "");
    EXPECT_EQ(lines.Line(-1), "");
    EXPECT_EQ(lines.Number(2), 0);
    EXPECT_FALSE(lines.IsNumberLine(2));
}

TEST(PageScriptGrammarTest, LineZeroChoosesTheMode) {
    const auto mode = [](std::string_view scriptText) {
        const std::vector<std::string> text = SplitTildeLines(scriptText);
        return ModeOfScript(ScriptLines(text));
    };
    EXPECT_EQ(mode(" "), std::nullopt);
    EXPECT_EQ(mode(" ~100~"), std::nullopt); // a blank line 0 ends it, whatever follows
    EXPECT_EQ(mode(""), std::nullopt);
    EXPECT_EQ(mode("  ~100~"), std::nullopt); // two blanks are a number line that reads 0
    EXPECT_EQ(mode("0~100~"), std::nullopt);
    EXPECT_EQ(mode("4~100~"), std::nullopt); // 4 and 5 are arrow codes, not modes
    EXPECT_EQ(mode("1~100~"), ScriptMode::ReadThrough);
    EXPECT_EQ(mode(" 2~100~"), ScriptMode::Rhymes);
    EXPECT_EQ(mode("$3~100~"), ScriptMode::Arrows);
    EXPECT_EQ(mode("3 arrows~100~"), ScriptMode::Arrows);
}

TEST(PageScriptGrammarTest, ArrowCodesOutsideTheTableMoveAlongTheLine) {
    EXPECT_EQ(ArrowCodeOf(0), ArrowCode::Hide);
    EXPECT_EQ(ArrowCodeOf(3), ArrowCode::UnderLine3);
    EXPECT_EQ(ArrowCodeOf(5), ArrowCode::Rhymes);
    EXPECT_EQ(ArrowCodeOf(6), ArrowCode::KeepTop);
    EXPECT_EQ(ArrowCodeOf(-1), ArrowCode::KeepTop);
}

TEST(PageScriptGrammarTest, ArrowInstructionsTakeTheirLinesAndHandOver) {
    // Instructions at lines 2 (code 1), 5 (code 0), 7 (code 9), then a rhyme hand-over at 10.
    const std::vector<std::string> text{"3", "800", "1",  "200", "1500", "0",   "500",
                                        "9", "300", "40", "5x",  "1200", "cat", "hat"};
    const ParsedPageScript script = ParsePageScript(ScriptLines(text), 4);
    const auto& arrows = std::get<ArrowScript>(script.body);
    EXPECT_EQ(arrows.firstDelay.value, 800);
    ASSERT_EQ(arrows.instructions.size(), 3u);
    EXPECT_EQ(arrows.instructions[0].kind, ArrowCode::UnderLine1);
    EXPECT_EQ(arrows.instructions[0].left->value, 200);
    EXPECT_EQ(arrows.instructions[0].delay.line, 4);
    EXPECT_EQ(arrows.instructions[1].kind, ArrowCode::Hide);
    EXPECT_FALSE(arrows.instructions[1].left);
    EXPECT_EQ(arrows.instructions[1].delay.value, 500);
    EXPECT_EQ(arrows.instructions[2].code.line, 7);
    EXPECT_EQ(arrows.instructions[2].kind, ArrowCode::KeepTop);
    // A code line that only begins with its number still hands over, and says so.
    const auto& rhymes = std::get<RhymeBlock>(arrows.handOver);
    EXPECT_EQ(rhymes.head.line, 10);
    EXPECT_FALSE(rhymes.head.wellFormed);
    EXPECT_EQ(rhymes.delay.value, 1200);
    EXPECT_EQ(rhymes.words[1].text, "hat");
    EXPECT_FALSE(rhymes.words[2].present);
}

TEST(PageScriptGrammarTest, AnInstructionAtTheLastLineReadsItsOtherLinesPastTheEnd) {
    const std::vector<std::string> text{"3", "800", "2"};
    const ParsedPageScript script = ParsePageScript(ScriptLines(text), 4);
    const auto& arrows = std::get<ArrowScript>(script.body);
    ASSERT_EQ(arrows.instructions.size(), 1u);
    EXPECT_FALSE(arrows.instructions[0].left->present);
    EXPECT_EQ(arrows.instructions[0].delay.line, 4);
    EXPECT_EQ(arrows.instructions[0].delay.value, 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(arrows.handOver));
}

TEST(PageScriptGrammarTest, AReadThroughHandOverTakesItsDelaysAfterItsCode) {
    const std::vector<std::string> text{"3", "800", "4", "100", "200", "300"};
    const ParsedPageScript script = ParsePageScript(ScriptLines(text), 2);
    const auto& readThrough =
        std::get<ReadThroughBlock>(std::get<ArrowScript>(script.body).handOver);
    EXPECT_EQ(readThrough.head.line, 2);
    ASSERT_EQ(readThrough.delays.size(), 3u);
    EXPECT_EQ(readThrough.delays[0].value, 100);
    EXPECT_EQ(readThrough.delays[2].line, 5);
}

} // namespace
} // namespace tavelio
