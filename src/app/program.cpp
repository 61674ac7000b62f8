#include "app/program.h"

#include "platform/controls/font_faces.h"

#include <cstdio>

namespace tavelio {

Program::Program(Services& services)
    : services_(services),
      activeForm_(services.clock), environment_{services.clock, services.dispatcher, activeForm_,
                                                services.screen} {
    SubstituteDesignedFaces();
    launch_ = std::make_unique<TLaunch>(environment_, static_cast<LaunchProgram&>(*this), cursor_);
    launch_->SetCloseEndsProgram([this] { End(); });
    viewBook_ = new TViewBook(environment_, services_.mediaBackends, *launch_, pageTable_, cursor_,
                              settings_);
}

Program::~Program() {
    services_.clock.Cancel(viewBookRelease_);
    // The viewer refers to the launch pad, so it goes first; the launch pad takes the splash.
    delete viewBook_.data();
    launch_.reset();
}

void Program::Start() {
    launch_->SetVisible(true);
}

std::vector<Form*> Program::Forms() const {
    std::vector<Form*> forms{launch_.get()};
    if (viewBook_ != nullptr) {
        forms.push_back(viewBook_.data());
    }
    if (splash_ != nullptr) {
        forms.push_back(splash_.data());
    }
    return forms;
}

Form* Program::FindForm(std::string_view name) const {
    for (Form* form : Forms()) {
        if (form->objectName().toStdString() == name) {
            return form;
        }
    }
    return nullptr;
}

nlohmann::json Program::DescribeSettings() const {
    const Settings& s = settings_;
    return {{"FromPath", s.FromPath},       {"UseMP3", s.UseMP3},
            {"SoundOn", s.SoundOn},         {"AniOn", s.AniOn},
            {"AniInst", s.AniInst},         {"SoundInst", s.SoundInst},
            {"FullInstall", s.FullInstall}, {"Installed", s.Installed},
            {"InstallPath", s.InstallPath}, {"TempDir", s.TempDir},
            {"FontFile", s.FontFile}};
}

nlohmann::json Program::DescribeFlags() const {
    return {{"LaunchActivated", settings_.LaunchActivated}};
}

void Program::ReleaseSplash() {
    delete splash_.data();
}

void Program::ShutdownFromLaunch() {
    if (viewBook_ != nullptr) {
        viewBook_->ReleaseTextSpeachPlay();
        // The viewer may be running its own close handling, which called this; it is released
        // once that has returned.
        viewBookRelease_ = services_.clock.CallAfter(0, [this] {
            viewBookRelease_ = 0;
            delete viewBook_.data();
        });
    }
    services_.fontInstaller.Remove(settings_.FontFile);
    std::remove(settings_.FontFile.c_str()); // a font file that can't be deleted stays
}

void Program::End() {
    ended_ = true;
    for (Form* form : Forms()) {
        form->SetVisible(false);
    }
    if (onEnded_) {
        onEnded_();
    }
}

} // namespace tavelio
