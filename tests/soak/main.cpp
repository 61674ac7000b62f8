// tavelio-soak: random user events through the whole program, in virtual time, on a copy of the
// demo book, damaged or not, with the invariants of soak_run.h checked after every event.
//
//   tavelio-soak DEMO_FOLDER [--damage NAME] [--events N] [--seed S]
//
// NAME is one of book_damage.h's damages (default none), N the number of events (default 2000),
// S the seed (default 1). Exit status 0 when every check held. Otherwise it prints the broken
// rule and the shortest list of events it could find that still breaks it, as a scenario script
// that tavelio-scenario replays in the damaged folder (kept and named), and exits with 1.
#include "app/application_setup.h"
#include "book_damage.h"
#include "scenario/scenario_platform.h"
#include "scenario/scenario_runner.h"
#include "soak_events.h"
#include "soak_run.h"
#include "support/scratch_dir.h"

#include <QApplication>
#include <filesystem>
#include <iostream>

namespace tavelio::soak {
namespace {

namespace fs = std::filesystem;

bool Breaks(const std::vector<std::string>& events, const std::string& invariant) {
    const auto violation = RunEvents(events).violation;
    return violation && violation->invariant == invariant;
}

// Delta debugging: drops ever smaller runs of events while the same rule still breaks.
std::vector<std::string> Shortest(std::vector<std::string> events, const std::string& invariant) {
    std::size_t chunks = 2;
    while (events.size() >= 2) {
        const std::size_t chunk = (events.size() + chunks - 1) / chunks;
        bool dropped = false;
        for (std::size_t start = 0; start < events.size(); start += chunk) {
            std::vector<std::string> rest(events.begin(),
                                          events.begin() + static_cast<long>(start));
            rest.insert(rest.end(),
                        events.begin() + static_cast<long>(std::min(start + chunk, events.size())),
                        events.end());
            if (Breaks(rest, invariant)) {
                events = std::move(rest);
                chunks = std::max<std::size_t>(chunks - 1, 2);
                dropped = true;
                break;
            }
        }
        if (!dropped) {
            if (chunk == 1) {
                break;
            }
            chunks = std::min(chunks * 2, events.size());
        }
    }
    return events;
}

struct Options {
    std::string demo;
    std::string damage = "none";
    std::size_t events = 2000;
    std::uint64_t seed = 1;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 < argc && arg == "--damage") {
            options.damage = argv[++i];
        } else if (i + 1 < argc && arg == "--events") {
            options.events = std::stoul(argv[++i]);
        } else if (i + 1 < argc && arg == "--seed") {
            options.seed = std::stoull(argv[++i]);
        } else {
            options.demo = arg;
        }
    }
    return options;
}

int Soak(const Options& options) {
    test::ScratchDir scratch;
    const fs::path book = scratch.Root() / "book";
    fs::copy(options.demo, book, fs::copy_options::recursive);
    DamageBook(book.string(), options.damage);
    fs::current_path(book);

    const auto events = RandomEvents(options.seed, options.events, ControlNames());
    const SoakResult result = RunEvents(events);
    const auto& violation = result.violation;
    if (!violation) {
        std::cout << options.events << " events on " << options.damage << ", seed " << options.seed
                  << ", " << result.programRuns << " program runs, " << result.errorBoxes
                  << " error boxes: every check held\n";
        return 0;
    }
    std::cout << "After event " << violation->event + 1 << " of seed " << options.seed << " on "
              << options.damage << ": " << violation->invariant << " broke (" << violation->detail
              << ")\nShortening the events...\n";
    const std::vector<std::string> firstEvents(
        events.begin(), events.begin() + static_cast<long>(violation->event) + 1);
    const fs::path kept = fs::temp_directory_path() / ("tavelio-soak-" + options.damage);
    fs::remove_all(kept);
    fs::copy(book, kept, fs::copy_options::recursive);
    std::cout << "# Replay in " << kept.string() << " with tavelio-scenario:\n";
    for (const std::string& event : Shortest(firstEvents, violation->invariant)) {
        std::cout << event << "\n";
    }
    std::cout << "dump\n";
    return 1;
}

} // namespace
} // namespace tavelio::soak

int main(int argc, char** argv) {
    const auto options = tavelio::soak::ParseOptions(argc, argv);
    if (options.demo.empty()) {
        std::cerr << "usage: tavelio-soak DEMO_FOLDER [--damage NAME] [--events N] [--seed S]\n";
        return 2;
    }
    const tavelio::ScenarioOptions screen;
    const tavelio::ScenarioPlatform platform(screen.screenWidth, screen.screenHeight);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    tavelio::SetUpApplication();
    return tavelio::soak::Soak(options);
}
