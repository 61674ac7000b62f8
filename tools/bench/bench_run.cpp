#include "bench/bench_run.h"

#include "bench/bare_decode.h"
#include "bench/child_process.h"
#include "bench/probe_protocol.h"

#include <algorithm>

namespace tavelio::bench {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStartTimeout(30000);
constexpr milliseconds kStepTimeout(10000);
// Margins after a page's narration has ended, before the reader is watched: the narration's own
// end to arrive, and then what follows it (a clip's repeat) to settle.
constexpr milliseconds kClipSettle(500);
constexpr milliseconds kIdleSettle(1000);
constexpr int kDecodeRepeats = 7;

double MsBetween(long long fromNs, long long toNs) {
    return static_cast<double>(toNs - fromNs) / 1e6;
}

std::string Command(const char* verb, const std::string& argument) {
    return std::string(verb) + ' ' + argument;
}

std::string Key(const std::string& name) {
    return Command(probe::kKey, name);
}

ChildSetup ProgramSetup(const BenchSetup& setup, std::vector<std::string> command) {
    return {std::move(command), setup.dataDirectory, setup.probeLibrary, {}, setup.trace};
}

double BareFirstFrameMs(const BenchSetup& setup) {
    ChildProcess bare(ProgramSetup(setup, {setup.bareWindow}));
    const Stamp frame = bare.WaitFor(probe::kFrame, "Bare", kStartTimeout);
    bare.WaitFor(probe::kSettled, "", kStepTimeout);
    bare.Send(Command(probe::kCloseCommand, "Bare"));
    bare.WaitForExit(kStepTimeout);
    return MsBetween(bare.StartNs(), frame.ns);
}

long BarePlayingPeakKiB(const BenchSetup& setup) {
    ChildProcess bare(ProgramSetup(setup, {setup.barePlayer, setup.narrationFile}));
    bare.WaitFor(probe::kFrame, "Bare", kStartTimeout);
    // Playing, its memory no longer grows after the first moments.
    bare.DrainFor(setup.window);
    bare.Send(Command(probe::kCloseCommand, "Bare"));
    return bare.WaitForExit(kStepTimeout);
}

// Presses the key and gives the time from the press to the viewer's next frame.
double TurnPage(ChildProcess& reader, const std::string& key) {
    reader.DrainFor(milliseconds(0));
    reader.Send(Key(key));
    const Stamp pressed = reader.WaitFor(probe::kKey, key, kStepTimeout);
    const Stamp painted = reader.WaitFor(probe::kFrame, "ViewBook", kStepTimeout);
    return MsBetween(pressed.ns, painted.ns);
}

// Stays on the page as a reader would, and watches the reader on the clip and idle pages once
// the narration has ended.
void StayOnPage(ChildProcess& reader, const BenchSetup& setup, const BookPlan& plan,
                const PlannedPage& page, RunFigures& figures) {
    const milliseconds narration(page.narrationMs);
    if (page.pageNo == plan.clipPage) {
        reader.DrainFor(narration + kClipSettle);
        figures.clip = WatchProcess(reader.Pid(), setup.window);
    } else if (page.pageNo == plan.idlePage) {
        reader.DrainFor(narration + kIdleSettle);
        figures.idle = WatchProcess(reader.Pid(), setup.window);
    } else {
        reader.DrainFor(std::min(narration, setup.dwellCap));
    }
}

void RunReader(const BenchSetup& setup, const BookPlan& plan, RunFigures& figures) {
    ChildProcess reader(ProgramSetup(setup, {setup.readerProgram}));
    const Stamp splash = reader.WaitFor(probe::kFrame, "Splash", kStartTimeout);
    const Stamp settled = reader.WaitFor(probe::kSettled, "Splash 1", kStartTimeout);
    figures.splashFirstFrameMs = MsBetween(reader.StartNs(), splash.ns);
    figures.startUpDoneMs = MsBetween(reader.StartNs(), settled.ns);

    // The child waits for the splash to go and then, the launch pad being active again, chooses
    // level A and book 1: the cover, and page 1 when the cover's time is up and the viewer takes
    // the book's title into its caption.
    reader.WaitFor(probe::kHidden, "Splash", kStepTimeout);
    reader.Send(Command(probe::kActivateCommand, "Launch"));
    reader.WaitFor(probe::kActive, "Launch", kStepTimeout);
    reader.Send(Key("a"));
    reader.Send(Key("1"));
    reader.Send(Command(probe::kActivateCommand, "ViewBook"));
    reader.WaitFor(probe::kActive, "ViewBook", kStepTimeout);
    reader.WaitFor(probe::kTitle, "View Book --- ", kStepTimeout);
    reader.WaitFor(probe::kFrame, "ViewBook", kStepTimeout);
    const std::vector<PlannedPage>& pages = plan.pages;
    StayOnPage(reader, setup, plan, pages[1], figures);

    // Every page is reached by a key: page 1 back from page 2, the cover by Home at the end.
    struct Visit {
        std::string key;
        std::size_t index;
    };
    std::vector<Visit> visits{{"Right", 2}, {"Left", 1}};
    for (std::size_t index = 2; index < pages.size(); ++index) {
        visits.push_back({"Right", index});
    }
    visits.push_back({"Home", 0});
    for (const Visit& visit : visits) {
        const PlannedPage& page = pages[visit.index];
        PageTurn turn{page.pageNo, visit.key, TurnPage(reader, visit.key), 0};
        if (!page.picture.empty()) {
            turn.bareDecodeMs = BareJpegDecodeMs(page.picture, kDecodeRepeats);
        }
        figures.turns.push_back(turn);
        StayOnPage(reader, setup, plan, page, figures);
    }
    reader.Send(Command(probe::kCloseCommand, "ViewBook"));
    figures.readerPeakKiB = reader.WaitForExit(kStepTimeout);
}

} // namespace

RunFigures RunOnce(const BenchSetup& setup, const BookPlan& plan) {
    RunFigures figures;
    figures.bareFirstFrameMs = BareFirstFrameMs(setup);
    RunReader(setup, plan, figures);
    figures.barePeakKiB = BarePlayingPeakKiB(setup);
    return figures;
}

} // namespace tavelio::bench
