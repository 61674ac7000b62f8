#include "soak_run.h"

#include "scenario/scenario_runner.h"

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <streambuf>

namespace tavelio::soak {
namespace {

using Json = nlohmann::ordered_json;

// Every text an error box of the program may show, as the box shows it.
const std::regex kProgramErrorTexts(
    "File not found\\.|Invalid filename\\.|Too many open files\\.|File access denied\\.|"
    "Read beyond end of file\\.|Disk full\\.|I/O error [0-9]+\\.|"
    "Unknown picture file extension \\(\\..*\\)|Bitmap image is not valid\\.|"
    "Icon image is not valid\\.|Metafile is not valid\\.|JPEG error #[0-9]+\\.|"
    "Invalid data type for '.*'|Failed to get data for '.*'|"
    "Cannot open the media file \".*\"|The file \".*\" is not a media file\\.|"
    "No MCI device open\\.|Unknown error code\\.|The specified parameter is out of range\\.");

// Hands every line written to it to a function.
class LineSink : public std::streambuf {
public:
    explicit LineSink(std::function<void(const std::string&)> onLine)
        : onLine_(std::move(onLine)) {}

protected:
    int overflow(int c) override {
        if (c == '\n') {
            onLine_(line_);
            line_.clear();
        } else if (c != traits_type::eof()) {
            line_ += static_cast<char>(c);
        }
        return c;
    }

private:
    std::function<void(const std::string&)> onLine_;
    std::string line_;
};

std::optional<std::pair<std::string, std::string>> BrokenRule(const Json& dump) {
    const Json& forms = dump.at("forms");
    const Json& viewer = forms.at("ViewBook");
    const bool viewerShown = viewer.at("visible").get<bool>();
    const int curPage = dump.at("CurPage").get<int>();
    if (curPage < 0 || curPage > 224 || (viewerShown && curPage == 0)) {
        return std::pair{"CurPage within 1 to 224", std::to_string(curPage)};
    }
    int scriptTimers = 0;
    for (const char* timer : {"ReadBook", "ShowRhyme", "Arrows"}) {
        scriptTimers += viewer.at("controls").at(timer).at("enabled").get<bool>() ? 1 : 0;
    }
    if (scriptTimers > 1) {
        return std::pair{"at most one script timer enabled", std::to_string(scriptTimers)};
    }
    if (!viewerShown && !forms.at("Launch").at("visible").get<bool>()) {
        return std::pair{"the launch pad or the viewer shown", "both hidden"};
    }
    for (const Json& error : dump.at("errors")) {
        if (!std::regex_match(error.get<std::string>(), kProgramErrorTexts)) {
            return std::pair{"only the program's error texts", error.get<std::string>()};
        }
    }
    return std::nullopt;
}

// One run of the program over events from first on, until they run out or an event ends it.
class ProgramRun {
public:
    ProgramRun(const std::vector<std::string>& events, std::size_t first)
        : events_(events), first_(first) {}

    // Returns the index of the first event not run.
    std::size_t Run() {
        std::string script;
        for (std::size_t i = first_; i < events_.size(); ++i) {
            script += events_[i] + "\ndump\n";
        }
        std::istringstream in(script);
        LineSink sink([this](const std::string& line) { Check(line); });
        std::ostream out(&sink);
        std::ostringstream notes;
        {
            ScenarioRunner runner(ScenarioOptions{}, out, notes);
            if (runner.Run(in) != kScenarioDone) {
                const std::string said = notes.str();
                const std::size_t lastLine = said.rfind('\n', said.size() - 2);
                Fail(first_ + dumps_, "the events are a script the runner takes",
                     said.substr(lastLine == std::string::npos ? 0 : lastLine + 1));
            }
        }
        // The event after the last dump ended the program, unless the events ran out.
        const std::size_t next = std::min(first_ + dumps_ + 1, events_.size());
        std::error_code error;
        if (!tempDir_.empty() && std::filesystem::exists(tempDir_, error)) {
            Fail(next - 1, "no temporary file left at exit", tempDir_ + " is still there");
        }
        return next;
    }

    const std::optional<Violation>& Found() const { return violation_; }
    std::size_t ErrorBoxes() const { return errorBoxes_; }

private:
    void Check(const std::string& line) {
        const Json dump = Json::parse(line);
        tempDir_ = dump.at("settings").at("TempDir").get<std::string>();
        errorBoxes_ = dump.at("errors").size();
        if (auto broken = BrokenRule(dump)) {
            Fail(first_ + dumps_, broken->first, broken->second);
        }
        ++dumps_;
    }

    void Fail(std::size_t event, std::string invariant, std::string detail) {
        if (!violation_) {
            violation_ = Violation{event, std::move(invariant), std::move(detail)};
        }
    }

    const std::vector<std::string>& events_;
    std::size_t first_;
    std::size_t dumps_ = 0;
    std::size_t errorBoxes_ = 0;
    std::string tempDir_;
    std::optional<Violation> violation_;
};

} // namespace

SoakResult RunEvents(const std::vector<std::string>& events) {
    SoakResult result;
    std::size_t next = 0;
    while (next < events.size() && !result.violation) {
        ProgramRun run(events, next);
        next = run.Run();
        result.violation = run.Found();
        result.errorBoxes += run.ErrorBoxes();
        ++result.programRuns;
    }
    return result;
}

std::vector<std::string> ControlNames() {
    std::vector<std::string> names;
    LineSink sink([&](const std::string& line) {
        const Json dump = Json::parse(line);
        for (const auto& [form, state] : dump.at("forms").items()) {
            for (const auto& [name, control] : state.at("controls").items()) {
                // Timers and media players are components, not windows a click can reach.
                if (control.at("kind") != "timer" && control.at("kind") != "mediaPlayer") {
                    names.push_back(name);
                }
            }
        }
    });
    std::ostream out(&sink);
    std::ostringstream notes;
    std::istringstream script("dump\n");
    ScenarioRunner(ScenarioOptions{}, out, notes).Run(script);
    return names;
}

} // namespace tavelio::soak
