// What the launch pad asks of the program around it: the start-up work and the shutdown that run
// in its form events, the release of the splash, and the viewer it opens a book in. The Program
// implements it; the launch pad holds a reference for its whole life.
#pragma once

namespace tavelio {

class TViewBook;

class LaunchProgram {
public:
    virtual ~LaunchProgram() = default;

    // The launch pad's activation: the start-up work, done once per run.
    virtual void StartUpWork() = 0;
    // SplashTime fired (already switched off): release the splash, if it still exists.
    virtual void ReleaseSplash() = 0;
    // The launch pad is being closed: the shutdown before the program ends.
    virtual void ShutdownFromLaunch() = 0;
    // The viewer window. It exists until the shutdown, after which the launch pad takes no more
    // events.
    virtual TViewBook& Viewer() = 0;
};

} // namespace tavelio
