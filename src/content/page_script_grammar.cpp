#include "content/page_script_grammar.h"

#include "content/number_text.h"

#include <algorithm>
#include <limits>

namespace tavelio {

std::int32_t ScriptLines::Count() const {
    constexpr std::size_t kMaxCount = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(lines_.size(), kMaxCount));
}

std::string_view ScriptLines::Line(std::int32_t index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return lines_[static_cast<std::size_t>(index)];
}

std::int32_t ScriptLines::Number(std::int32_t index) const {
    return TextToNumber(Line(index));
}

bool ScriptLines::IsNumberLine(std::int32_t index) const {
    return index >= 0 && index < Count() && IsWellFormedNumber(Line(index));
}

std::optional<ScriptMode> ModeOfScript(const ScriptLines& lines) {
    if (lines.Line(kModeLine) == kNoScriptLine) {
        return std::nullopt;
    }
    const std::int32_t mode = lines.Number(kModeLine);
    switch (mode) {
    case static_cast<std::int32_t>(ScriptMode::ReadThrough):
    case static_cast<std::int32_t>(ScriptMode::Rhymes):
    case static_cast<std::int32_t>(ScriptMode::Arrows):
        return static_cast<ScriptMode>(mode);
    default:
        return std::nullopt;
    }
}

ArrowCode ArrowCodeOf(std::int32_t number) {
    constexpr auto kLastNamed = static_cast<std::int32_t>(ArrowCode::Rhymes);
    return number >= 0 && number <= kLastNamed ? static_cast<ArrowCode>(number)
                                               : ArrowCode::KeepTop;
}

std::uint8_t ReadThroughPictureSlot(std::uint8_t curPage, std::int32_t storyPage,
                                    std::int32_t step) {
    // Unsigned arithmetic wraps instead of overflowing; its low eight bits are the slot.
    const std::uint32_t slot = std::uint32_t{curPage} - static_cast<std::uint32_t>(storyPage) +
                               static_cast<std::uint32_t>(step);
    return static_cast<std::uint8_t>(slot & 0xFFu);
}

namespace {

ScriptNumber ReadNumber(const ScriptLines& lines, std::int32_t line) {
    return {line, lines.Number(line), line >= 0 && line < lines.Count(), lines.IsNumberLine(line)};
}

ReadThroughBlock ReadReadThrough(const ScriptLines& lines, std::int32_t base, std::int32_t steps) {
    ReadThroughBlock block{ReadNumber(lines, base), {}};
    for (std::int32_t step = 0; step <= steps; ++step) {
        block.delays.push_back(ReadNumber(lines, ReadThroughDelayLine(base, step)));
    }
    return block;
}

RhymeBlock ReadRhymes(const ScriptLines& lines, std::int32_t base) {
    RhymeBlock block{ReadNumber(lines, base), ReadNumber(lines, RhymeDelayLine(base)), {}};
    for (int word = 0; word < kRhymeWordCount; ++word) {
        const std::int32_t line = RhymeWordLine(base, word);
        block.words[static_cast<std::size_t>(word)] = {line, std::string(lines.Line(line)),
                                                       line < lines.Count()};
    }
    return block;
}

// Only a code line is checked against the end of the lines; the lines after it are read even
// when they lie past the end, as the viewer reads them.
ArrowScript ReadArrows(const ScriptLines& lines, std::int32_t readThroughSteps) {
    ArrowScript script{ReadNumber(lines, kArrowFirstDelayLine), {}, {}};
    std::int32_t line = kFirstArrowInstructionLine;
    while (line < lines.Count()) {
        ArrowInstruction instruction;
        instruction.code = ReadNumber(lines, line);
        instruction.kind = ArrowCodeOf(instruction.code.value);
        if (instruction.kind == ArrowCode::ReadThrough) {
            script.handOver = ReadReadThrough(lines, line, readThroughSteps);
            break;
        }
        if (instruction.kind == ArrowCode::Rhymes) {
            script.handOver = ReadRhymes(lines, line);
            break;
        }
        if (ArrowCodeTakesLeft(instruction.kind)) {
            instruction.left = ReadNumber(lines, ++line);
        }
        instruction.delay = ReadNumber(lines, ++line);
        ++line;
        script.instructions.push_back(std::move(instruction));
    }
    return script;
}

} // namespace

ParsedPageScript ParsePageScript(const ScriptLines& lines, std::int32_t readThroughSteps) {
    ParsedPageScript script{ReadNumber(lines, kModeLine), NoScript{}};
    if (lines.Line(kModeLine) == kNoScriptLine) {
        return script;
    }
    const std::optional<ScriptMode> mode = ModeOfScript(lines);
    if (!mode) {
        script.body = UnknownMode{};
    } else if (*mode == ScriptMode::ReadThrough) {
        script.body = ReadReadThrough(lines, kModeLine, readThroughSteps);
    } else if (*mode == ScriptMode::Rhymes) {
        script.body = ReadRhymes(lines, kModeLine);
    } else {
        script.body = ReadArrows(lines, readThroughSteps);
    }
    return script;
}

} // namespace tavelio
