// ScenarioRunner: the program driven by a script instead of a user. It starts the program as the
// program entry does (the same Program, forms and start-up), with services that make a run
// reproducible: a virtual clock that only the script moves, recorded error boxes, the registry
// hive given (or no key at all), a fixed screen and the simulated media back end; the temporary
// directory and the font installer are the real ones. It then reads script commands
// (script_command.h) one line at a time and writes one line of JSON per dump.
//
// The caller provides the QApplication (on the offscreen platform for a headless run) and the
// working directory, which holds the data files. Output goes to out, flushed after every dump;
// notes and errors go to err, each naming the script line.
#pragma once

#include "app/services.h"
#include "base/temp_directory.h"
#include "platform/media/simulated_media_backend.h"
#include "platform/system/error_box.h"
#include "platform/system/error_box_fakes.h"
#include "platform/system/event_dispatcher.h"
#include "platform/system/qt_font_installer.h"
#include "platform/system/registry.h"
#include "platform/system/screen.h"
#include "platform/system/screen_fakes.h"
#include "platform/system/virtual_clock.h"
#include "scenario/script_command.h"

#include <iosfwd>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>

namespace tavelio {

class Program;

struct ScenarioOptions {
    std::optional<std::string> registryFile; // hive file of HKEY_LOCAL_MACHINE; none: no key
    int screenWidth = 800;
    int screenHeight = 600;
};

// Exit statuses of a run.
enum ScenarioStatus {
    kScenarioDone = 0,     // the script ran to its end, or the program ended
    kScenarioFailed = 1,   // the runner could not do what a command asked (a shot not saved)
    kScenarioBadInput = 2, // a bad option, or a script line that is not a command of its kind
};

class ScenarioRunner {
public:
    ScenarioRunner(const ScenarioOptions& options, std::ostream& out, std::ostream& err);
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    // Starts the program, runs the commands of script until its end or until the program ends,
    // then shuts the program down as usual and returns the exit status. Once per runner.
    ScenarioStatus Run(std::istream& script);

    // The state as the dump command writes it (one JSON object).
    nlohmann::ordered_json Dump() const;

private:
    // Runs one command; raises ScriptError for a bad argument.
    ScenarioStatus Execute(const ScriptCommand& command, int lineNo);
    void Click(const std::string& controlName, int lineNo);
    void Close(const std::string& formName, int lineNo);
    ScenarioStatus Shot(const std::string& formName, const std::string& file, int lineNo);
    // Lets the program finish what the last input started: queued events due now, and the
    // window system's own pending work (repaints, deferred deletions).
    void Settle();
    void Note(int lineNo, const std::string& text);
    void RememberControlNames();

    std::ostream& out_;
    std::ostream& err_;
    VirtualClock clock_;
    RecordingErrorBox errorBox_;
    EventDispatcher dispatcher_{errorBox_};
    std::unique_ptr<Registry> registry_;
    TempDirectory tempDirectory_;
    QtFontInstaller fontInstaller_;
    FixedScreen screen_;
    SimulatedMediaBackendFactory mediaBackends_{clock_};
    Services services_{clock_,         dispatcher_, *registry_,    tempDirectory_,
                       fontInstaller_, screen_,     mediaBackends_};
    std::unique_ptr<Program> program_;
    // Every control name seen on a form during the run, so that a click on a control of a form
    // that is gone (the splash) is told apart from a name the program never had.
    std::set<std::string> controlNames_;
};

} // namespace tavelio
