#include "book/align_command.h"

#include "align/align_error.h"
#include "align/aligner.h"
#include "align/reading_text.h"
#include "book/file_bytes.h"
#include "book/tool_error.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace tavelio::book {
namespace {

nlohmann::ordered_json AlignmentJson(const std::string& recordingPath,
                                     const align::Alignment& alignment) {
    nlohmann::ordered_json fragments = nlohmann::ordered_json::array();
    for (const align::AlignedFragment& fragment : alignment.fragments) {
        nlohmann::ordered_json words = nlohmann::ordered_json::array();
        for (const align::AlignedWord& word : fragment.words) {
            words.push_back(
                {{"text", word.text}, {"begin_ms", word.beginMs}, {"end_ms", word.endMs}});
        }
        fragments.push_back({{"page", fragment.page},
                             {"text", fragment.text},
                             {"begin_ms", fragment.beginMs},
                             {"end_ms", fragment.endMs},
                             {"confidence", std::round(fragment.confidence * 100.0) / 100.0},
                             {"words", std::move(words)}});
    }
    return {{"recording", recordingPath},
            {"duration_ms", alignment.durationMs},
            {"fragments", std::move(fragments)}};
}

} // namespace

void RunAlign(const std::string& recordingPath, const std::string& textPath,
              const std::string& language, std::ostream& out) {
    std::vector<align::TextFragment> text;
    try {
        text = align::ReadReadingText(ReadInputFile(textPath));
    } catch (const align::AlignError& error) {
        throw ToolError(textPath + ": " + error.what());
    }
    align::Alignment alignment;
    try {
        alignment = align::AlignRecording(recordingPath, text, {language});
    } catch (const align::AlignError& error) {
        throw ToolError(recordingPath + ": " + error.what());
    }
    out << AlignmentJson(recordingPath, alignment).dump(1) << '\n';
}

} // namespace tavelio::book
