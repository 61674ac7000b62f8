// The services the program is handed by whoever starts it: the real program entry (event-loop
// clock, message boxes, the system's hive file, GStreamer), the scenario runner and the tests
// (virtual clock, recorded error boxes, a given hive or none, a fixed screen, simulated media).
// Every service is owned by the starter and must outlive the Program made with it.
#pragma once

#include "base/temp_directory.h"
#include "platform/media/media_backend.h"
#include "platform/system/clock.h"
#include "platform/system/event_dispatcher.h"
#include "platform/system/font_installer.h"
#include "platform/system/registry.h"
#include "platform/system/screen.h"

namespace tavelio {

struct Services {
    Clock& clock;
    EventDispatcher& dispatcher; // reports to the starter's error box
    Registry& registry;
    TempDirectory& tempDirectory;
    FontInstaller& fontInstaller;
    Screen& screen;
    MediaBackendFactory& mediaBackends;
};

} // namespace tavelio
