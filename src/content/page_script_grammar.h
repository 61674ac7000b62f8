// The page script's grammar: how the lines of a record's ScriptText are read. The viewer's timers
// step through a script line by line with ScriptLines and the block layouts below; the book
// checker reads a whole script at once into the typed form of ParsePageScript. Both read every
// line by the same rules, so what the checker accepts is what the viewer runs.
//
// A script is the list of lines SplitTildeLines gives, numbered from 0. Line 0 is the mode: a
// single blank means no script, 1 a read-through block at line 0, 2 a rhyme block at line 0, 3 an
// arrow script; any other number (also the 0 of a line that is no number) means no script.
//
//   read-through block at line B: B+1 the delay before step 1, B+1+k the delay after step k
//                                 (k = 1 to the page's PageNo; the tick after the last ends it)
//   rhyme block at line B:        B+1 the delay, B+2 to B+4 the three words as they are
//   arrow script:                 line 1 the delay before the first instruction; from line 2 the
//                                 instructions, each a code with its lines (ArrowCode)
//
// Delays are milliseconds. Nothing here reports an error: missing lines and malformed numbers
// read as the rules below say, and the checker decides what it counts as a problem.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavelio {

// The lines of a script, held by the caller (the viewer's ScriptStrings memo, the checker's split
// ScriptText) for as long as this view is used.
class ScriptLines {
public:
    explicit ScriptLines(std::span<const std::string> lines) : lines_(lines) {}

    std::int32_t Count() const;
    // The line at index; a line past the last one reads as empty.
    std::string_view Line(std::int32_t index) const;
    // The line read by the number rule (content/number_text.h): so a missing line, an empty one
    // or one of text gives 0, and "500 ms" gives 500.
    std::int32_t Number(std::int32_t index) const;
    // Whether the line exists and the number rule reads all of it.
    bool IsNumberLine(std::int32_t index) const;

private:
    std::span<const std::string> lines_;
};

// The stored form of an empty script: line 0 exactly one blank.
inline constexpr std::string_view kNoScriptLine = " ";

enum class ScriptMode : std::int32_t { ReadThrough = 1, Rhymes = 2, Arrows = 3 };

// The mode of line 0, or none for a blank line 0 and for a number the grammar doesn't name.
std::optional<ScriptMode> ModeOfScript(const ScriptLines& lines);

// The codes of an arrow instruction. Codes 0 to 3 and KeepTop are followed by their lines and
// then the next instruction; 4 and 5 hand the script over to a block that begins at their line.
enum class ArrowCode {
    Hide,        // 0, delay: the arrow hides
    UnderLine1,  // 1, left, delay: under ruled text line 1
    UnderLine2,  // 2, left, delay: under ruled text line 2
    UnderLine3,  // 3, left, delay: under ruled text line 3
    ReadThrough, // 4: a read-through block begins at this line
    Rhymes,      // 5: a rhyme block begins at this line
    KeepTop,     // any other number, left, delay: the arrow moves along at the top it has
};

ArrowCode ArrowCodeOf(std::int32_t number);

// Whether an instruction of this code holds a left line between its code and its delay.
constexpr bool ArrowCodeTakesLeft(ArrowCode code) {
    return code != ArrowCode::Hide;
}

// Where the lines of each block lie.
inline constexpr std::int32_t kModeLine = 0;
inline constexpr std::int32_t kArrowFirstDelayLine = 1;
inline constexpr std::int32_t kFirstArrowInstructionLine = 2;
inline constexpr int kRhymeWordCount = 3;

// The delay line of a read-through block at base: step 0 gives the delay before step 1, step k
// the delay after step k.
constexpr std::int32_t ReadThroughDelayLine(std::int32_t base, std::int32_t step) {
    return base + 1 + step;
}
constexpr std::int32_t RhymeDelayLine(std::int32_t base) {
    return base + 1;
}
// word 0, 1, 2 for Rhyme1, Rhyme2, Rhyme3.
constexpr std::int32_t RhymeWordLine(std::int32_t base, int word) {
    return base + 2 + word;
}

// The record whose picture step k of a read-through shows: CurPage - StoryPage + k, taken modulo
// 256. On a story page, whose cover lies StoryPage slots back, that is page k of the book; on
// another page it may be 0 or above the page table, which holds slots 1 to 224 only.
std::uint8_t ReadThroughPictureSlot(std::uint8_t curPage, std::int32_t storyPage,
                                    std::int32_t step);

// The typed form of a whole script, as the checker reads it.

// A line read as a number, with what a checker needs to know about it.
struct ScriptNumber {
    std::int32_t line = 0;
    std::int32_t value = 0;  // as the viewer reads it
    bool present = false;    // the line exists
    bool wellFormed = false; // the number rule reads all of it
};

struct ScriptWord {
    std::int32_t line = 0;
    std::string text; // empty when missing
    bool present = false;
};

// A block begins at its head line B: the mode 1 or 2 on line 0, or the arrow code 4 or 5.
struct ReadThroughBlock {
    ScriptNumber head;
    // delays[0] before step 1, delays[k] after step k, for the page's PageNo steps.
    std::vector<ScriptNumber> delays;
};

struct RhymeBlock {
    ScriptNumber head;
    ScriptNumber delay;
    std::array<ScriptWord, kRhymeWordCount> words;
};

// One arrow instruction other than a hand-over (codes 0 to 3 and KeepTop).
struct ArrowInstruction {
    ScriptNumber code; // its line is the instruction's first
    ArrowCode kind = ArrowCode::KeepTop;
    std::optional<ScriptNumber> left; // absent for Hide
    ScriptNumber delay;
};

struct ArrowScript {
    ScriptNumber firstDelay;
    std::vector<ArrowInstruction> instructions;
    // The block that codes 4 and 5 hand over to; none when the lines run out first.
    std::variant<std::monostate, ReadThroughBlock, RhymeBlock> handOver;
};

struct NoScript {};
struct UnknownMode {};

struct ParsedPageScript {
    ScriptNumber mode; // line 0; not read as a number when the script is NoScript
    std::variant<NoScript, UnknownMode, ReadThroughBlock, RhymeBlock, ArrowScript> body;
};

// Reads the script of a page whose PageNo is readThroughSteps (the number of steps a
// read-through block of that page takes).
ParsedPageScript ParsePageScript(const ScriptLines& lines, std::int32_t readThroughSteps);

} // namespace tavelio
