// The program entry: the real services (event-loop clock, message boxes, the system's registry
// hive, a private temporary directory, application fonts, the primary screen, GStreamer), the
// program's two windows, and the event loop until closing a window ends the program.
#include "app/application_setup.h"
#include "app/program.h"
#include "platform/controls/message_error_box.h"
#include "platform/media/gst_media_backend.h"
#include "platform/system/hive_registry.h"
#include "platform/system/qt_font_installer.h"
#include "platform/system/real_clock.h"

#include <QApplication>

int main(int argc, char** argv) {
    using namespace tavelio;
    QApplication application(argc, argv);
    SetUpApplication();

    RealClock clock;
    MessageErrorBox errorBox;
    EventDispatcher dispatcher(errorBox);
    HiveRegistry registry(HiveRegistry::DefaultPath());
    TempDirectory tempDirectory;
    QtFontInstaller fontInstaller;
    QtScreen screen;
    GstMediaBackendFactory mediaBackends;
    Services services{clock,         dispatcher, registry,     tempDirectory,
                      fontInstaller, screen,     mediaBackends};

    int status = 0;
    {
        Program program(services);
        program.SetOnEnded([] { QCoreApplication::quit(); });
        program.Start();
        status = QApplication::exec();
    }
    // The run's temporary directory goes with its remaining files.
    tempDirectory.Remove();
    return status;
}
