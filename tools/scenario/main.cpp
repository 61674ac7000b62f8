// tavelio-scenario: runs the program on Qt's offscreen platform under a script read from a file
// or standard input, writing one line of JSON for each dump. See docs/scenario-runner.md.
//
//   tavelio-scenario [--registry FILE] [--screen WxH] [--ratio R] [SCRIPT | -]
#include "app/application_setup.h"
#include "scenario/scenario_platform.h"
#include "scenario/scenario_runner.h"
#include "version/version.h"

#include <QApplication>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: tavelio-scenario [--registry FILE] [--screen WxH] [--ratio R] [SCRIPT | -]\n"
    "Runs the program in the current folder under the commands of SCRIPT (standard input when\n"
    "it is - or not given). --registry: hive file of HKEY_LOCAL_MACHINE (default: no key).\n"
    "--screen: screen size in pixels (default 800x600). --ratio: device pixels per pixel of\n"
    "the screen, 1 to 4 (default 1; 2 for a high-density screen). --version: the version.\n";

constexpr double kMaxRatio = 4;

struct CommandLine {
    tavelio::ScenarioOptions options;
    double devicePixelRatio = 1; // device pixels per pixel of the program's layout
    std::string scriptPath;      // empty or "-": standard input
};

bool ParseScreen(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        return false;
    }
    const auto number = [](std::string_view digits, int& value) {
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return !digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
               value >= 1 && value <= 16384;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

bool ParseRatio(std::string_view text, double& ratio) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ratio);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           ratio >= 1 && ratio <= kMaxRatio;
}

// Reads the command line; on a mistake prints it with the usage and returns false.
bool ParseCommandLine(int argc, char** argv, CommandLine& commandLine) {
    bool scriptGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (argument == "--version") {
            std::cout << "tavelio-scenario " << tavelio::kVersion << '\n';
            std::exit(0);
        } else if (argument == "--registry" && hasValue) {
            commandLine.options.registryFile = argv[++i];
            // As for the program, a missing hive means no key; said, in case of a typing slip.
            if (!std::filesystem::exists(*commandLine.options.registryFile)) {
                std::cerr << "tavelio-scenario: note: no registry hive "
                          << *commandLine.options.registryFile << ", so no key\n";
            }
        } else if (argument == "--screen" && hasValue) {
            if (!ParseScreen(argv[++i], commandLine.options.screenWidth,
                             commandLine.options.screenHeight)) {
                std::cerr << "tavelio-scenario: --screen wants WIDTHxHEIGHT in pixels, not "
                          << argv[i] << '\n'
                          << kUsage;
                return false;
            }
        } else if (argument == "--ratio" && hasValue) {
            if (!ParseRatio(argv[++i], commandLine.devicePixelRatio)) {
                std::cerr << "tavelio-scenario: --ratio wants a number from 1 to " << kMaxRatio
                          << ", not " << argv[i] << '\n'
                          << kUsage;
                return false;
            }
        } else if ((argument == "-" || argument.substr(0, 1) != "-") && !scriptGiven) {
            commandLine.scriptPath = argument;
            scriptGiven = true;
        } else {
            std::cerr << "tavelio-scenario: unexpected argument " << argument << '\n' << kUsage;
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine commandLine;
    if (!ParseCommandLine(argc, argv, commandLine)) {
        return tavelio::kScenarioBadInput;
    }
    std::ifstream scriptFile;
    if (!commandLine.scriptPath.empty() && commandLine.scriptPath != "-") {
        scriptFile.open(commandLine.scriptPath);
        if (!scriptFile) {
            std::cerr << "tavelio-scenario: can't read the script " << commandLine.scriptPath
                      << '\n';
            return tavelio::kScenarioBadInput;
        }
    }

    const tavelio::ScenarioPlatform platform(commandLine.options.screenWidth,
                                             commandLine.options.screenHeight,
                                             commandLine.devicePixelRatio);
    if (!platform.Ready()) {
        std::cerr << "tavelio-scenario: can't write the screen configuration\n";
        return tavelio::kScenarioFailed;
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    tavelio::SetUpApplication();

    tavelio::ScenarioRunner runner(commandLine.options, std::cout, std::cerr);
    const tavelio::ScenarioStatus status =
        runner.Run(scriptFile.is_open() ? static_cast<std::istream&>(scriptFile) : std::cin);
    if (!std::cout.good()) {
        std::cerr << "tavelio-scenario: can't write the dump\n";
        return tavelio::kScenarioFailed;
    }
    return status;
}
