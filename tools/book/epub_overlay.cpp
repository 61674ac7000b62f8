#include "book/epub_overlay.h"

#include "content/page_design.h"
#include "content/page_script_grammar.h"

#include <algorithm>
#include <limits>
#include <variant>

namespace tavelio::book {
namespace {

// A moment of the page's stretch (ms from its start) and the element read from then on.
struct Moment {
    std::int64_t at = 0;
    const std::string* textId = nullptr;
};

// The word the arrow's middle points at on a line: the one whose edges hold it, else the nearest.
const std::string* WordUnderArrow(const std::vector<PlacedWord>& words, std::int32_t arrowLeft) {
    const double middle = arrowLeft + design::kArrowWidth / 2.0;
    const PlacedWord* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const PlacedWord& word : words) {
        const double distance = middle < word.left    ? word.left - middle
                                : middle > word.right ? middle - word.right
                                                      : 0.0;
        if (distance < nearestDistance) {
            nearest = &word;
            nearestDistance = distance;
        }
    }
    return nearest ? &nearest->id : nullptr;
}

// The viewer's timers never fire on an interval of 0 or less: the script stands there for good.
constexpr std::int64_t kForever = std::numeric_limits<std::int64_t>::max() / 4;

std::int64_t Delay(const ScriptNumber& delay) {
    return delay.value > 0 ? delay.value : kForever;
}

class Timeline {
public:
    explicit Timeline(const OverlayTargets& targets) : targets_(targets) {
        moments_.push_back({0, &targets.whole});
    }

    void Rhymes(std::int64_t at, const RhymeBlock& block) {
        if (!targets_.rhymes.empty()) {
            At(std::min(kForever, at + Delay(block.delay)), &targets_.rhymes);
        }
    }

    void ReadThrough(std::int64_t at, const ReadThroughBlock& block) {
        const std::vector<std::string>& steps = targets_.readThroughSteps;
        for (std::size_t step = 0; step < steps.size() && step < block.delays.size(); ++step) {
            at = std::min(kForever, at + Delay(block.delays[step]));
            At(at, &steps[step]);
        }
    }

    void Arrows(const ArrowScript& script) {
        std::int64_t at = Delay(script.firstDelay);
        std::size_t line = 0;
        for (const ArrowInstruction& instruction : script.instructions) {
            if (instruction.kind == ArrowCode::Hide) {
                At(at, &targets_.whole);
            } else {
                if (instruction.kind != ArrowCode::KeepTop) {
                    line = static_cast<std::size_t>(instruction.kind) -
                           static_cast<std::size_t>(ArrowCode::UnderLine1);
                }
                const std::string* word =
                    WordUnderArrow(targets_.ruledLines[line], instruction.left->value);
                At(at, word ? word : &targets_.whole);
            }
            at = std::min(kForever, at + Delay(instruction.delay));
        }
        At(at, &targets_.whole);
        if (const auto* rhymes = std::get_if<RhymeBlock>(&script.handOver)) {
            Rhymes(at, *rhymes);
        } else if (const auto* readThrough = std::get_if<ReadThroughBlock>(&script.handOver)) {
            ReadThrough(at, *readThrough);
        }
    }

    std::vector<OverlayClip> Clips(std::int32_t speechStart, std::int32_t speechEnd) const {
        std::vector<OverlayClip> clips;
        const std::int64_t length = std::int64_t{speechEnd} - speechStart;
        for (std::size_t n = 0; n < moments_.size(); ++n) {
            const std::int64_t begin = std::min(moments_[n].at, length);
            const std::int64_t end =
                n + 1 < moments_.size() ? std::min(moments_[n + 1].at, length) : length;
            if (begin >= end) {
                continue;
            }
            const auto absolute = [&](std::int64_t at) {
                return static_cast<std::int32_t>(speechStart + at);
            };
            if (!clips.empty() && clips.back().textId == *moments_[n].textId) {
                clips.back().endMs = absolute(end);
            } else {
                clips.push_back({*moments_[n].textId, absolute(begin), absolute(end)});
            }
        }
        return clips;
    }

private:
    // Moments come in the order of the script, and a script only moves forward in time.
    void At(std::int64_t at, const std::string* textId) {
        if (moments_.back().at == at) {
            moments_.back().textId = textId;
        } else {
            moments_.push_back({at, textId});
        }
    }

    const OverlayTargets& targets_;
    std::vector<Moment> moments_;
};

} // namespace

std::vector<OverlayClip> PageOverlay(const std::vector<std::string>& scriptLines,
                                     std::int32_t pageNo, std::int32_t speechStart,
                                     std::int32_t speechEnd, const OverlayTargets& targets) {
    Timeline timeline(targets);
    const ParsedPageScript script = ParsePageScript(ScriptLines(scriptLines), pageNo);
    if (const auto* rhymes = std::get_if<RhymeBlock>(&script.body)) {
        timeline.Rhymes(0, *rhymes);
    } else if (const auto* readThrough = std::get_if<ReadThroughBlock>(&script.body)) {
        timeline.ReadThrough(0, *readThrough);
    } else if (const auto* arrows = std::get_if<ArrowScript>(&script.body)) {
        timeline.Arrows(*arrows);
    }
    return timeline.Clips(speechStart, speechEnd);
}

} // namespace tavelio::book
