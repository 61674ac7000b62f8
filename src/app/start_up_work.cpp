// The start-up work of the launch pad's first activation.
#include "app/data_files.h"
#include "app/program.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "launch/book_cover.h"

namespace tavelio {
namespace {

constexpr const char* kInstallationKey = "\\Software\\Morrowick\\Tavelio\\";

} // namespace

void Program::StartUpWork() {
    if (settings_.LaunchActivated) {
        return;
    }
    settings_.FromPath = std::string("."); // (a bare literal trips a false GCC 12 -Wrestrict)
    settings_.UseMP3 = false;
    settings_.SoundOn = true;
    settings_.AniOn = true;
    // A registry error ends the work here, before LaunchActivated is set, so the next activation
    // of the launch pad tries again.
    ReadRegistrySettings();
    launch_->SplashTime->SetEnabled(true);
    settings_.LaunchActivated = true;
    ShowSplash();
    // The run's own private directory. Where the usual place for temporary files can't be used,
    // the directory service has already fallen back to another place (the runtime directory, then
    // the user's cache), so there is no drive to check here.
    settings_.TempDir = services_.tempDirectory.Path();
    settings_.FontFile = settings_.TempDir + kFontFileName;
    LoadDatabase(kDatabaseFileName, settings_.FontFile, pageTable_);
    services_.fontInstaller.Add(settings_.FontFile);
    for (Label* line : {viewBook_->Text1, viewBook_->Text2, viewBook_->Text3}) {
        line->SetFontName(kHandwritingFace);
    }
    // The book's own cover for the launch pad, from the archive the viewer reads the pages from.
    // Decoded here, behind the splash, so that the book view does not wait for a large picture.
    launch_->ShowBookCover(ReadBookCover(pageTable_, kPictureArchiveFileName));
    // Loading the media system takes about as long as the rest of the start: done here, behind
    // the splash, it neither holds back the first frame nor the first book's cover.
    services_.mediaBackends.Prepare();
}

void Program::ReadRegistrySettings() {
    // The key is closed when it goes out of scope, on every path.
    const std::unique_ptr<RegistryKey> key = services_.registry.OpenKey(kInstallationKey);
    if (key == nullptr) {
        return;
    }
    if (key->ValueExists("Installed")) {
        settings_.Installed = key->ReadBool("Installed");
    }
    if (key->ValueExists("Path")) {
        settings_.InstallPath = key->ReadString("Path");
    }
    if (key->ValueExists("Full")) {
        settings_.FullInstall = key->ReadBool("Full");
    }
    if (settings_.FullInstall) {
        // Everything is installed locally: the remaining values are not read at all.
        settings_.UseMP3 = false;
        settings_.SoundInst = true;
        settings_.AniInst = true;
        settings_.SoundOn = true;
        settings_.AniOn = true;
        return;
    }
    const auto readFlag = [&key](const char* name, bool& setting) {
        if (key->ValueExists(name)) {
            setting = key->ReadBool(name);
        }
    };
    readFlag("MP3", settings_.UseMP3);
    readFlag("AniInst", settings_.AniInst);
    readFlag("AniOn", settings_.AniOn);
    readFlag("SoundInst", settings_.SoundInst);
    readFlag("SoundOn", settings_.SoundOn);
    if (key->ValueExists("FromPath")) {
        settings_.FromPath = key->ReadString("FromPath");
    }
}

void Program::ShowSplash() {
    auto* splash = new TSplash(environment_, launch_.get());
    splash_ = splash;
    splash->SplashBack->SetVisible(true);
    const QSize screen = services_.screen.Size();
    splash->SetHeight(screen.height());
    splash->SetWidth(screen.width());
    splash->SplashBack->SetWidth(screen.width());
    splash->SplashBack->SetHeight(screen.height());
    splash->SetLeft(0);
    splash->SetTop(0);
    // Halves rounded toward zero, so an odd extra pixel lies right of and below the picture.
    splash->SplashFront->SetLeft((splash->Width() - splash->SplashFront->Width()) / 2);
    splash->SplashFront->SetTop((splash->Height() - splash->SplashFront->Height()) / 2);
    // The rest of the start-up work holds the event loop, so the splash must be on the screen
    // before it goes on.
    splash->ShowAndPaintNow();
}

} // namespace tavelio
