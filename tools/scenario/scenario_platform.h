// The headless platform the scenario runner's program runs on: Qt's offscreen platform with one
// screen of the chosen size at 96 dots per inch and no window frames, nothing from the environment
// scaling it, and Qt's remarks about the headless platform itself kept out of the runner's notes.
// A device pixel ratio above 1 makes it a high-density screen, as a desktop's scale factor does:
// the same size in the program's pixels, each drawn with ratio x ratio device pixels.
// Make it before the QApplication and keep it for as long as the application lives; then make
// the application with SetUpApplication (app/application_setup.h) as the program does.
#pragma once

#include <QTemporaryFile>

namespace tavelio {

class ScenarioPlatform {
public:
    ScenarioPlatform(int screenWidth, int screenHeight, double devicePixelRatio = 1);

    // Whether the platform is set; false when its screen configuration could not be written.
    bool Ready() const { return ready_; }

private:
    QTemporaryFile screenConfig_;
    bool ready_ = false;
};

} // namespace tavelio
