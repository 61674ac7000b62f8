// The program entry: the real services (event-loop clock, message boxes, the system's registry
// hive, a private temporary directory, application fonts, the primary screen, GStreamer), the
// program's two windows, and the event loop until closing a window ends the program.
#include "app/application_setup.h"
#include "app/data_files.h"
#include "app/program.h"
#include "platform/controls/message_error_box.h"
#include "platform/media/gst_media_backend.h"
#include "platform/system/hive_registry.h"
#include "platform/system/qt_font_installer.h"
#include "platform/system/real_clock.h"
#include "version/version.h"

#include <QApplication>
#include <fontconfig/fontconfig.h>
#include <iostream>
#include <string_view>
#include <thread>

namespace {

constexpr const char* kUsage =
    "usage: tavelio [--help] [--version]\n"
    "Shows the talking picture book whose data files (QVDB.dat, Graphics.dat, the narration and\n"
    "the clips) are in the working directory. Settings come from the registry hive file named by\n"
    "TAVELIO_HKLM, else /etc/tavelio/hklm.reg. See man 6 tavelio.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace tavelio;
    // Answered before the window system is asked for, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "tavelio " << kVersion << '\n';
            return 0;
        }
    }
    if (const auto note = MissingDatabaseNote()) {
        std::cerr << *note << '\n';
    }
    // Loading the system's font configuration (its files and caches) takes several milliseconds,
    // which the launch pad's first label would otherwise wait for. It loads on a second processor
    // while the window system starts; fontconfig loads it once, whichever thread asks first.
    std::thread fontConfiguration([] { FcInit(); });
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

    fontConfiguration.join();
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
