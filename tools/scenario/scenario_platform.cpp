#include "scenario/scenario_platform.h"

#include <cmath>
#include <string>

namespace tavelio {
namespace {

// Qt's remarks about the headless platform itself say nothing about the program under test and
// would bury the runner's own notes; everything else Qt says is passed on.
QtMessageHandler qtDefaultHandler = nullptr;

void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg &&
        (message.startsWith(QLatin1String("This plugin does not support")) ||
         message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))) {
        return;
    }
    qtDefaultHandler(type, context, message);
}

} // namespace

ScenarioPlatform::ScenarioPlatform(int screenWidth, int screenHeight, double devicePixelRatio) {
    const auto devicePixels = [devicePixelRatio](int pixels) {
        return std::to_string(std::lround(pixels * devicePixelRatio));
    };
    if (!screenConfig_.open()) {
        return;
    }
    const std::string config = "{\"windowFrameMargins\": false, \"screens\": "
                               "[{\"name\": \"Scenario\", \"x\": 0, \"y\": 0, \"width\": " +
                               devicePixels(screenWidth) +
                               ", \"height\": " + devicePixels(screenHeight) +
                               ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96}]}";
    screenConfig_.write(config.data(), static_cast<qint64>(config.size()));
    screenConfig_.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screenConfig_.fileName().toLocal8Bit());
    for (const char* variable :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
          "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI"}) {
        qunsetenv(variable);
    }
    if (devicePixelRatio != 1) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(devicePixelRatio));
    }
    qtDefaultHandler = qInstallMessageHandler(FilterQtMessages);
    ready_ = true;
}

} // namespace tavelio
