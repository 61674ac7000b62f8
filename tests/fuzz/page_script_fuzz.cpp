// The page script grammar on any script: the checker's whole reading agrees, line for line, with
// the line reading that the viewer's timers step through, and every block lies on the lines its
// head and the layout rules put it.
#include "content/page_script_grammar.h"
#include "content/tilde_lines.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {
namespace {

struct Agreement {
    const ScriptLines& lines;

    void operator()(const ScriptNumber& number) const {
        FUZZ_CHECK(number.value == lines.Number(number.line));
        FUZZ_CHECK(number.present == (number.line < lines.Count()));
        FUZZ_CHECK(number.wellFormed == lines.IsNumberLine(number.line));
    }
    void operator()(const ScriptWord& word) const {
        FUZZ_CHECK(word.present == (word.line < lines.Count()));
        FUZZ_CHECK(word.text == lines.Line(word.line));
    }
    void operator()(const ReadThroughBlock& block, std::int32_t steps) const {
        (*this)(block.head);
        FUZZ_CHECK(block.delays.size() == static_cast<std::size_t>(steps) + 1);
        for (std::int32_t step = 0; step <= steps; ++step) {
            const ScriptNumber& delay = block.delays[static_cast<std::size_t>(step)];
            FUZZ_CHECK(delay.line == ReadThroughDelayLine(block.head.line, step));
            (*this)(delay);
        }
    }
    void operator()(const RhymeBlock& block) const {
        (*this)(block.head);
        FUZZ_CHECK(block.delay.line == RhymeDelayLine(block.head.line));
        (*this)(block.delay);
        for (int word = 0; word < kRhymeWordCount; ++word) {
            FUZZ_CHECK(block.words[static_cast<std::size_t>(word)].line ==
                       RhymeWordLine(block.head.line, word));
            (*this)(block.words[static_cast<std::size_t>(word)]);
        }
    }
    void operator()(const ArrowScript& script, std::int32_t steps) const {
        FUZZ_CHECK(script.firstDelay.line == kArrowFirstDelayLine);
        (*this)(script.firstDelay);
        std::int32_t next = kFirstArrowInstructionLine;
        for (const ArrowInstruction& instruction : script.instructions) {
            FUZZ_CHECK(instruction.code.line == next);
            (*this)(instruction.code);
            FUZZ_CHECK(instruction.kind == ArrowCodeOf(instruction.code.value));
            FUZZ_CHECK(instruction.left.has_value() == ArrowCodeTakesLeft(instruction.kind));
            if (instruction.left) {
                FUZZ_CHECK(instruction.left->line == next + 1);
                (*this)(*instruction.left);
            }
            FUZZ_CHECK(instruction.delay.line == next + (instruction.left ? 2 : 1));
            (*this)(instruction.delay);
            next = instruction.delay.line + 1;
        }
        if (const auto* block = std::get_if<ReadThroughBlock>(&script.handOver)) {
            FUZZ_CHECK(block->head.line == next && block->head.value == 4);
            (*this)(*block, steps);
        } else if (const auto* rhymes = std::get_if<RhymeBlock>(&script.handOver)) {
            FUZZ_CHECK(rhymes->head.line == next && rhymes->head.value == 5);
            (*this)(*rhymes);
        }
    }
};

} // namespace

// The input: its first byte is the page's PageNo, the rest the script as ScriptText holds it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::int32_t steps = data[0];
    const std::vector<std::string> text = SplitTildeLines(Bytes(data + 1, size - 1));
    const ScriptLines lines(text);
    const ParsedPageScript script = ParsePageScript(lines, steps);
    const Agreement agree{lines};
    const auto mode = ModeOfScript(lines);
    if (std::holds_alternative<NoScript>(script.body)) {
        FUZZ_CHECK(!mode);
        return 0;
    }
    FUZZ_CHECK(script.mode.line == kModeLine);
    agree(script.mode);
    if (const auto* block = std::get_if<ReadThroughBlock>(&script.body)) {
        FUZZ_CHECK(mode == ScriptMode::ReadThrough && block->head.line == kModeLine);
        agree(*block, steps);
    } else if (const auto* rhymes = std::get_if<RhymeBlock>(&script.body)) {
        FUZZ_CHECK(mode == ScriptMode::Rhymes && rhymes->head.line == kModeLine);
        agree(*rhymes);
    } else if (const auto* arrows = std::get_if<ArrowScript>(&script.body)) {
        FUZZ_CHECK(mode == ScriptMode::Arrows);
        agree(*arrows, steps);
    } else {
        FUZZ_CHECK(!mode);
    }
    return 0;
}

} // namespace tavelio::fuzz
