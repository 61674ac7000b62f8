// The page script grammar on any script: reading it whole, as the book checker does, never fails,
// and finds the same mode as the viewer's line reading, which decides what its timers do.
#include "content/page_script_grammar.h"
#include "content/tilde_lines.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {

// The input: its first byte is the page's PageNo, the rest the script as ScriptText holds it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::int32_t steps = data[0];
    const std::vector<std::string> text = SplitTildeLines(Bytes(data + 1, size - 1));
    const ScriptLines lines(text);
    const ParsedPageScript script = ParsePageScript(lines, steps);
    const auto mode = ModeOfScript(lines);
    if (std::holds_alternative<ReadThroughBlock>(script.body)) {
        FUZZ_CHECK(mode == ScriptMode::ReadThrough);
    } else if (std::holds_alternative<RhymeBlock>(script.body)) {
        FUZZ_CHECK(mode == ScriptMode::Rhymes);
    } else if (std::holds_alternative<ArrowScript>(script.body)) {
        FUZZ_CHECK(mode == ScriptMode::Arrows);
    } else {
        FUZZ_CHECK(!mode);
    }
    return 0;
}

} // namespace tavelio::fuzz
