// Test helper: the whole program on Qt's offscreen platform with test services: a virtual clock,
// recorded error boxes, a registry hive file of the test's own (none: no key), a private temporary
// directory inside the test's folder, a font installer that only records, an 800 x 600 screen and
// simulated media. The test runs in a scratch folder of its own (the program's working directory)
// that holds a valid QVDB.dat unless the test removes it.
#pragma once

#include "app/program.h"
#include "platform/media/simulated_media_backend.h"
#include "platform/system/error_box_fakes.h"
#include "platform/system/font_installer_fakes.h"
#include "platform/system/hive_registry.h"
#include "platform/system/screen_fakes.h"
#include "platform/system/virtual_clock.h"
#include "support/database_builder.h"
#include "support/scratch_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace tavelio::test {

class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() {
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.Root());
        WriteFile("QVDB.dat", DatabaseBytes(TwelveSampleRecords()));
    }

    ~ProgramFixture() override {
        program_.reset();
        std::filesystem::current_path(previousDirectory_);
    }

    // The installation key's values, in the registry export format (see hive_registry.h).
    void WriteInstallationKey(const std::string& values) {
        WriteFile(hivePath_, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\n" +
                                 values + "\n");
    }

    // Makes the program (the program entry) and runs what that queues. Shown, the launch pad
    // becomes active and its activation runs.
    Program& StartProgram(bool show = true) {
        services_.emplace(Services{*programClock_, dispatcher_, registry_, *tempDirectory_, fonts_,
                                   screen_, media_});
        program_ = std::make_unique<Program>(*services_);
        if (show) {
            program_->Start();
            clock_.RunDue();
        }
        return *program_;
    }

    // The screen size; call before StartProgram.
    void SetScreen(int width, int height) { screen_ = FixedScreen(width, height); }

    const std::vector<std::string>& Errors() const { return errorBox_.Texts(); }
    Program& program() { return *program_; }
    TLaunch& launch() { return program_->Launch(); }

    ScratchDir folder_;
    std::filesystem::path previousDirectory_;
    std::string hivePath_ = folder_.Path("hklm.reg");
    VirtualClock clock_;
    Clock* programClock_ = &clock_; // a test may put a clock of its own in front of clock_
    RecordingErrorBox errorBox_;
    EventDispatcher dispatcher_{errorBox_};
    HiveRegistry registry_{hivePath_};
    std::unique_ptr<TempDirectory> tempDirectory_ =
        std::make_unique<TempDirectory>(TempLocations{folder_.Root().string(), "", ""});
    RecordingFontInstaller fonts_;
    FixedScreen screen_{800, 600};
    SimulatedMediaBackendFactory media_{clock_};
    std::optional<Services> services_;
    std::unique_ptr<Program> program_;
};

} // namespace tavelio::test
