// For fuzz targets whose code under test draws (metafiles through Qt's painter and fonts): the
// headless GUI application that drawing needs, made once for the process. It is never destroyed:
// libFuzzer ends the process through exit(), and a static application's destructor would then
// clear the font database after Qt's thread storage is gone.
#pragma once

#include <QGuiApplication>

namespace tavelio::fuzz {

inline void StartHeadlessGuiApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace tavelio::fuzz
