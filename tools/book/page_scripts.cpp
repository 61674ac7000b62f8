#include "book/page_scripts.h"

#include "book/tool_error.h"
#include "content/page_design.h"
#include "content/page_rules.h"
#include "content/page_script_grammar.h"
#include "platform/text/centred_caption.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cctype>
#include <cmath>

namespace tavelio::book {
namespace {

// The arrow stays under the last word this long after its phrase, so a child sees it there
// before the rhymes or the read-through take over.
constexpr int kHoldMs = 200;

// The codes that start the arrow script's blocks and hand over from it.
constexpr const char* kReadThroughMode = "1";
constexpr const char* kRhymesMode = "2";
constexpr const char* kArrowMode = "3";
constexpr const char* kHandToReadThrough = "4";
constexpr const char* kHandToRhymes = "5";

struct ArrowStop {
    int line = 0;         // ruled line, from 1
    int left = 0;         // of the arrow, on the page
    std::string expected; // the letter or word said while the arrow stands here
};

// A word as a comparison sees it: its letters, in lower case.
std::string Bare(const std::string& word) {
    std::string bare;
    for (const char c : word) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            bare += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return bare;
}

// Whole-millisecond delays between successive moments, rounded on the moments themselves so that
// no rounding error adds up, and never 0, which would stop the script.
std::vector<int> Delays(const std::vector<int>& moments) {
    std::vector<int> delays;
    for (std::size_t i = 1; i < moments.size(); ++i) {
        delays.push_back(std::max(1, moments[i] - moments[i - 1]));
    }
    return delays;
}

class ScriptMaker {
public:
    ScriptMaker(const BookSource& source, const SourcePage& page, const PageTiming& timing,
                const QFont& handwriting)
        : source_(source), page_(page), timing_(timing), handwriting_(handwriting) {}

    std::vector<std::string> Make() {
        const ScriptPlan& plan = page_.script;
        if (plan.IsEmpty()) {
            return {};
        }
        if (plan.arrow.empty()) {
            if (plan.rhymes) {
                Add(kRhymesMode);
                AddRhymes(0);
            } else {
                Add(kReadThroughMode);
                AddReadThrough(0);
            }
            return lines_;
        }
        AddArrow();
        return lines_;
    }

private:
    void Add(const std::string& line) { lines_.push_back(line); }
    void Add(int number) { lines_.push_back(std::to_string(number)); }

    int Onset(int phrase) const {
        return timing_.phrases.at(static_cast<std::size_t>(phrase)).startMs;
    }

    void AddRhymes(int from) {
        Add(Delays({from, Onset(page_.script.rhymes->phrase)}).front());
        for (const std::string& word : page_.script.rhymes->words) {
            Add(word);
        }
    }

    // The delay before the first step, then the delay after each, the last lasting to the end of
    // the page's narration.
    void AddReadThrough(int from) {
        std::vector<int> moments{from};
        for (const int phrase : page_.script.readThrough) {
            moments.push_back(Onset(phrase));
        }
        moments.push_back(timing_.LengthMs());
        for (const int delay : Delays(moments)) {
            Add(delay);
        }
    }

    void AddArrow() {
        const std::vector<ArrowStop> stops = ArrowStops();
        std::vector<const TimedWord*> said;
        for (const int phrase : page_.script.arrow) {
            for (const TimedWord& word :
                 timing_.phrases.at(static_cast<std::size_t>(phrase)).words) {
                said.push_back(&word);
            }
        }
        RequireStopsMatch(stops, said);
        const int handover =
            timing_.phrases.at(static_cast<std::size_t>(page_.script.arrow.back())).endMs + kHoldMs;
        std::vector<int> moments{0};
        for (const TimedWord* word : said) {
            moments.push_back(word->atMs);
        }
        moments.push_back(handover);
        const std::vector<int> delays = Delays(moments);
        Add(kArrowMode);
        Add(delays.front());
        for (std::size_t i = 0; i < stops.size(); ++i) {
            Add(stops[i].line);
            Add(stops[i].left);
            Add(delays[i + 1]);
        }
        if (page_.script.rhymes) {
            Add(kHandToRhymes);
            AddRhymes(handover);
        } else if (!page_.script.readThrough.empty()) {
            Add(kHandToReadThrough);
            AddReadThrough(handover);
        }
    }

    void RequireStopsMatch(const std::vector<ArrowStop>& stops,
                           const std::vector<const TimedWord*>& said) const {
        const bool match = stops.size() == said.size() &&
                           std::ranges::equal(
                               stops, said, {}, [](const ArrowStop& s) { return Bare(s.expected); },
                               [](const TimedWord* w) { return Bare(w->text); });
        if (match) {
            return;
        }
        const auto list = [](const auto& items, const auto& text) {
            std::string joined;
            for (const auto& item : items) {
                joined += (joined.empty() ? "" : " ") + text(item);
            }
            return "\"" + joined + "\"";
        };
        throw ToolError(SourcePlace(source_, page_.pageNo, "script") + ": the arrow walks under " +
                        list(stops, [](const ArrowStop& s) { return s.expected; }) +
                        " on the ruled lines, but its phrases say " +
                        list(said, [](const TimedWord* w) { return w->text; }) +
                        (page_.script.spell ? " (spelling: each letter, then the word)" : ""));
    }

    // Where the arrow stands for each word (and letter) of the ruled lines, as the reader lays the
    // lines out.
    std::vector<ArrowStop> ArrowStops() const {
        const QFontMetricsF metrics(handwriting_);
        const int ruled = RuledLineCount(page_.pageKind);
        std::vector<ArrowStop> stops;
        for (int n = 0; n < ruled && n < static_cast<int>(page_.text.size()); ++n) {
            const QString line = QString::fromStdString(page_.text[static_cast<std::size_t>(n)]);
            const std::vector<CaptionLine> laid =
                LayOutCentredCaption(handwriting_, line, design::kRuledLineWidth);
            if (laid.size() > 1) {
                throw ToolError(SourcePlace(source_, page_.pageNo, "text") + ": \"" +
                                line.toStdString() +
                                "\" is too wide for its ruled line in the handwriting font");
            }
            for (const CaptionLine& caption : laid) {
                for (const CaptionWord& word : caption.words) {
                    AddStops(metrics, line.mid(word.first, word.length), word.left, n + 1, stops);
                }
            }
        }
        return stops;
    }

    void AddStops(const QFontMetricsF& metrics, const QString& word, double wordLeft, int line,
                  std::vector<ArrowStop>& stops) const {
        // The arrow points at the word's letters, not at punctuation or quotes around them.
        qsizetype first = 0;
        while (first < word.size() && !word[first].isLetterOrNumber()) {
            ++first;
        }
        qsizetype last = word.size();
        while (last > first && !word[last - 1].isLetterOrNumber()) {
            --last;
        }
        const QString core = word.mid(first, last - first);
        const double coreLeft = wordLeft + metrics.horizontalAdvance(word.left(first));
        const auto stopAt = [&](double centre, const QString& expected) {
            const double left = design::kRuledLineLeft + centre - design::kArrowWidth / 2.0;
            stops.push_back({line, static_cast<int>(std::lround(left)), expected.toStdString()});
        };
        if (page_.script.spell) {
            for (qsizetype i = 0; i < core.size(); ++i) {
                stopAt(coreLeft + metrics.horizontalAdvance(core.left(i)) +
                           metrics.horizontalAdvance(core.mid(i, 1)) / 2,
                       core.mid(i, 1));
            }
        }
        stopAt(coreLeft + metrics.horizontalAdvance(core) / 2, core);
    }

    const BookSource& source_;
    const SourcePage& page_;
    const PageTiming& timing_;
    const QFont& handwriting_;
    std::vector<std::string> lines_;
};

} // namespace

std::vector<std::string> MakePageScript(const BookSource& source, const SourcePage& page,
                                        const PageTiming& timing, const QFont& handwriting) {
    return ScriptMaker(source, page, timing, handwriting).Make();
}

} // namespace tavelio::book
