// The program-wide settings of the installation, read from the registry by the start-up work and
// read by the windows for the rest of the run. Plain data owned by the Program; the viewer
// switches SoundOn and AniOn at run time.
//
// Strings: FromPath and InstallPath are paths of this system as the registry gives them (UTF-8);
// TempDir and FontFile are paths of this system.
#pragma once

#include <string>

namespace tavelio {

struct Settings {
    std::string FromPath = "."; // folder of the narration and animation files
    bool UseMP3 = false;        // narration in MP3 rather than WAV
    bool SoundOn = true;        // narration switched on
    bool AniOn = true;          // animations switched on
    bool AniInst = false;       // animations installed locally
    bool SoundInst = false;     // narration installed locally
    bool FullInstall = false;   // everything installed locally
    bool Installed = false;
    std::string InstallPath;
    std::string TempDir;  // directory of the run's temporary files, ending in "/"
    std::string FontFile; // TempDir + kFontFileName (data_file_names.h)

    // Set once the start-up work has passed its registry step; it then never runs again.
    bool LaunchActivated = false;
};

} // namespace tavelio
