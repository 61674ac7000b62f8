// For fuzz targets whose code under test draws (metafiles through Qt's painter and fonts): the
// headless GUI application that drawing needs, made once for the process.
#pragma once

#include <QGuiApplication>

namespace tavelio::fuzz {

inline void StartHeadlessGuiApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

} // namespace tavelio::fuzz
