// The conversation between tavelio-bench and the probe it loads into the program it measures (and
// into the bare window): the environment variables that hand the probe its two pipes, and the words
// of the lines on them. Every stamp line is "<monotonic ns> <word> <argument>"; both processes read
// CLOCK_MONOTONIC, so stamps of the two sides compare directly.
#pragma once

#include <ctime>

namespace tavelio::bench::probe {

// CLOCK_MONOTONIC in nanoseconds, the clock of every stamp.
inline long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// The file descriptor the probe writes its stamps to, and the one it reads commands from.
constexpr const char* kStampFdVariable = "TAVELIO_BENCH_STAMP_FD";
constexpr const char* kCommandFdVariable = "TAVELIO_BENCH_COMMAND_FD";

// Stamps. "frame NAME": a frame of the top-level window NAME (its widget's object name) has been
// painted and handed to the window system. "settled NAME FACE": the event loop ran its timers again
// after the first frame of window NAME, FACE being 1 when the handwriting face was installed by
// then (the splash's is the end of the start-up work, which holds the loop). "key NAME": the moment
// just before the key went into the window system. "title TEXT": a window took a new caption.
// "active NAME": window NAME became the active window, the one keys go to. "hidden NAME": window
// NAME was hidden.
constexpr const char* kFrame = "frame";
constexpr const char* kSettled = "settled";
constexpr const char* kKey = "key";
constexpr const char* kTitle = "title";
constexpr const char* kActive = "active";
constexpr const char* kHidden = "hidden";

// Commands. "key NAME" presses and releases a key in the active window: NAME is one character (a
// letter or digit, typed as it is) or a key name as QKeySequence spells it ("Right", "Home").
// "close NAME" closes the visible window NAME as its close button would. "activate NAME" makes it
// the active window, as a window manager does when another window goes away or the user clicks a
// window (the offscreen platform, and a bare X server, have no window manager).
constexpr const char* kCloseCommand = "close";
constexpr const char* kActivateCommand = "activate";

// The face the start-up work installs (kHandwritingFace, content/data_file_names.h) marks that
// work as done by its presence.

} // namespace tavelio::bench::probe
