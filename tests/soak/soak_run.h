// Runs soak events through the whole program and checks after every event what must always hold:
// the page cursor within the page table, at most one of the viewer's three script timers running,
// the launch pad or the viewer showing, only the program's own error texts in error boxes, and,
// each time the program ends, no temporary file left behind.
//
// The program is the scenario runner's (tools/scenario): started in the current folder, which
// holds the data files, with virtual time and the simulated media back end. The caller provides
// the QApplication.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavelio::soak {

struct Violation {
    std::size_t event = 0; // index of the event after which it was seen
    std::string invariant; // which rule broke
    std::string detail;
};

struct SoakResult {
    std::optional<Violation> violation; // the first; none when every check held
    std::size_t programRuns = 0;
    std::size_t errorBoxes = 0; // shown over all runs
};

// Runs events in order, starting the program again each time an event ends it, up to the first
// violation.
SoakResult RunEvents(const std::vector<std::string>& events);

// The names of the controls of every form of the program at its start.
std::vector<std::string> ControlNames();

} // namespace tavelio::soak
