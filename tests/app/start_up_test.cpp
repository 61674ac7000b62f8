#include "app/program_fixture.h"
#include "base/errors.h"
#include "platform/system/font_installer_fakes.h"

#include <filesystem>

namespace tavelio::test {
namespace {

using StartUpTest = ProgramFixture;

TEST_F(StartUpTest, WithoutKeySettingsKeepTheirStartValuesAndContentIsLoaded) {
    Program& program = StartProgram();
    const Settings& settings = program.ProgramSettings();
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(settings.FromPath, ".");
    EXPECT_FALSE(settings.UseMP3);
    EXPECT_TRUE(settings.SoundOn);
    EXPECT_TRUE(settings.AniOn);
    EXPECT_FALSE(settings.AniInst);
    EXPECT_FALSE(settings.SoundInst);
    EXPECT_FALSE(settings.FullInstall);
    EXPECT_FALSE(settings.Installed);
    EXPECT_EQ(settings.InstallPath, "");
    EXPECT_TRUE(settings.LaunchActivated);

    EXPECT_EQ(settings.TempDir, tempDirectory_->Path());
    EXPECT_EQ(settings.FontFile, tempDirectory_->Path() + "ZBM.TTF");
    EXPECT_EQ(ReadFile(settings.FontFile), FontContent());
    EXPECT_EQ(program.Pages().At(12).Title, "Title 12");
    ASSERT_EQ(fonts_.Calls().size(), 1u);
    EXPECT_EQ(fonts_.Calls()[0],
              std::make_pair(RecordingFontInstaller::Call::Add, settings.FontFile));
    for (Label* line :
         {program.ViewBook()->Text1, program.ViewBook()->Text2, program.ViewBook()->Text3}) {
        EXPECT_EQ(line->FontName(), "Zaner-Bloser Manuscript");
        EXPECT_EQ(line->FontHeight(), 53);
    }
    EXPECT_TRUE(launch().SplashTime->Enabled());
    ASSERT_NE(program.Splash(), nullptr);
    EXPECT_TRUE(program.Splash()->isVisible());
}

TEST_F(StartUpTest, NothingHappensBeforeTheLaunchPadIsActivated) {
    Program& program = StartProgram(false);
    EXPECT_FALSE(program.ProgramSettings().LaunchActivated);
    EXPECT_EQ(program.Splash(), nullptr);
    program.Start();
    EXPECT_FALSE(program.ProgramSettings().LaunchActivated); // the activation is a queued event
    EXPECT_EQ(program.ActiveFormNow(), &launch());
    clock_.RunDue();
    EXPECT_TRUE(program.ProgramSettings().LaunchActivated);
}

struct RegistryCase {
    const char* name;
    const char* values;
    Settings expected;
};

// Cases print as their names, not as a dump of their bytes.
void PrintTo(const RegistryCase& registryCase, std::ostream* out) {
    *out << registryCase.name;
}

Settings With(auto change) {
    Settings settings;
    change(settings);
    return settings;
}

class RegistrySettingsTest : public ProgramFixture,
                             public ::testing::WithParamInterface<RegistryCase> {};

TEST_P(RegistrySettingsTest, AreReadByTheRules) {
    WriteInstallationKey(GetParam().values);
    const Settings& settings = StartProgram().ProgramSettings();
    const Settings& expected = GetParam().expected;
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    EXPECT_EQ(settings.FromPath, expected.FromPath);
    EXPECT_EQ(settings.UseMP3, expected.UseMP3);
    EXPECT_EQ(settings.SoundOn, expected.SoundOn);
    EXPECT_EQ(settings.AniOn, expected.AniOn);
    EXPECT_EQ(settings.AniInst, expected.AniInst);
    EXPECT_EQ(settings.SoundInst, expected.SoundInst);
    EXPECT_EQ(settings.FullInstall, expected.FullInstall);
    EXPECT_EQ(settings.Installed, expected.Installed);
    EXPECT_EQ(settings.InstallPath, expected.InstallPath);
    EXPECT_TRUE(settings.LaunchActivated);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RegistrySettingsTest,
    ::testing::Values(
        RegistryCase{"EmptyKey", "", Settings{}},
        RegistryCase{"FullOverridesTheRest",
                     "\"Full\"=dword:00000001\n\"MP3\"=dword:00000001\n\"SoundOn\"=dword:00000000\n"
                     "\"AniOn\"=dword:00000000\n\"FromPath\"=\"D:\\\\Media\"",
                     With([](Settings& s) {
                         s.FullInstall = true;
                         s.SoundInst = true;
                         s.AniInst = true;
                     })},
        RegistryCase{"FullZeroReadsTheRest",
                     "\"Full\"=dword:00000000\n\"MP3\"=dword:00000001\n\"AniInst\"=dword:00000001\n"
                     "\"AniOn\"=dword:00000000\n\"SoundInst\"=dword:00000001\n"
                     "\"SoundOn\"=dword:00000000\n\"FromPath\"=\"D:\\\\Media\"",
                     With([](Settings& s) {
                         s.UseMP3 = true;
                         s.AniInst = true;
                         s.AniOn = false;
                         s.SoundInst = true;
                         s.SoundOn = false;
                         s.FromPath = "D:\\Media";
                     })},
        RegistryCase{"AnyNonZeroFlagIsTrue", "\"SoundOn\"=dword:00000005\n\"MP3\"=dword:ffffffff",
                     With([](Settings& s) { s.UseMP3 = true; })},
        RegistryCase{"InstalledAndPathWithNamesInAnyCase",
                     "\"INSTALLED\"=dword:00000001\n\"path\"=\"C:\\\\Tavelio\"",
                     With([](Settings& s) {
                         s.Installed = true;
                         s.InstallPath = "C:\\Tavelio";
                     })},
        RegistryCase{"EmptyStrings", "\"Path\"=\"\"\n\"FromPath\"=\"\"",
                     With([](Settings& s) { s.FromPath = ""; })}),
    [](const auto& registryCase) { return std::string(registryCase.param.name); });

struct RegistryErrorCase {
    const char* name;
    const char* values;
    const char* errorText;
};

void PrintTo(const RegistryErrorCase& errorCase, std::ostream* out) {
    *out << errorCase.name;
}

class RegistryErrorTest : public ProgramFixture,
                          public ::testing::WithParamInterface<RegistryErrorCase> {};

TEST_P(RegistryErrorTest, StopsStartUpUntilTheNextActivation) {
    WriteInstallationKey(GetParam().values);
    Program& program = StartProgram();
    EXPECT_EQ(Errors(), std::vector<std::string>{GetParam().errorText});
    EXPECT_FALSE(program.ProgramSettings().LaunchActivated);
    EXPECT_EQ(program.Splash(), nullptr);
    EXPECT_FALSE(launch().SplashTime->Enabled());
    EXPECT_TRUE(fonts_.Calls().empty());
    EXPECT_EQ(program.ProgramSettings().FontFile, "");

    // The launch pad becomes active again (as when the viewer hands back to it): the whole
    // start-up work runs again, this time with a readable key.
    WriteInstallationKey("\"MP3\"=dword:00000001");
    launch().hide();
    launch().show();
    clock_.RunDue();
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(program.ProgramSettings().LaunchActivated);
    EXPECT_TRUE(program.ProgramSettings().UseMP3);
    EXPECT_NE(program.Splash(), nullptr);
    EXPECT_EQ(fonts_.Calls().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryErrorTest,
    ::testing::Values(
        // A string of one character and its terminating zero fits the four bytes of a flag.
        RegistryErrorCase{"ShortStringFlag", "\"MP3\"=\"1\"", "Invalid data type for 'MP3'"},
        RegistryErrorCase{"LongStringFlag", "\"MP3\"=\"1234\"", "Failed to get data for 'MP3'"},
        RegistryErrorCase{"QwordFlag", "\"SoundOn\"=hex(b):01,00,00,00,00,00,00,00",
                          "Failed to get data for 'SoundOn'"},
        RegistryErrorCase{"BinaryFlagOfFourBytes", "\"Full\"=hex:01,00,00,00",
                          "Invalid data type for 'Full'"},
        RegistryErrorCase{"NumberAsPath", "\"Path\"=dword:00000001",
                          "Invalid data type for 'Path'"},
        RegistryErrorCase{"NumberAsFromPath", "\"FromPath\"=dword:00000001",
                          "Invalid data type for 'FromPath'"}),
    [](const auto& errorCase) { return std::string(errorCase.param.name); });

TEST_F(StartUpTest, SettingsReadBeforeARegistryErrorStay) {
    WriteInstallationKey(
        "\"Installed\"=dword:00000001\n\"AniOn\"=dword:00000000\n\"SoundOn\"=\"no\"");
    Program& program = StartProgram();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(program.ProgramSettings().Installed);
    EXPECT_FALSE(program.ProgramSettings().AniOn);
}

TEST_F(StartUpTest, LaterActivationsReadNothingAndShowNoSplash) {
    Program& program = StartProgram();
    clock_.Advance(4000);
    ASSERT_EQ(program.Splash(), nullptr);
    WriteInstallationKey("\"MP3\"=dword:00000001");
    launch().hide();
    launch().show();
    clock_.RunDue();
    EXPECT_FALSE(program.ProgramSettings().UseMP3);
    EXPECT_EQ(program.Splash(), nullptr);
    EXPECT_FALSE(launch().SplashTime->Enabled());
    EXPECT_EQ(fonts_.Calls().size(), 1u);
}

TEST_F(StartUpTest, MissingDatabaseStopsAfterTheSplashAndIsNotRetried) {
    std::filesystem::remove("QVDB.dat");
    Program& program = StartProgram();
    EXPECT_EQ(Errors(), std::vector<std::string>{"File not found."});
    EXPECT_TRUE(program.ProgramSettings().LaunchActivated);
    EXPECT_TRUE(fonts_.Calls().empty());
    EXPECT_EQ(program.ViewBook()->Text1->FontName(), "Times New Roman");
    EXPECT_FALSE(std::filesystem::exists(program.ProgramSettings().FontFile));
    // The splash still goes away on its timers.
    ASSERT_NE(program.Splash(), nullptr);
    clock_.Advance(4000);
    EXPECT_EQ(program.Splash(), nullptr);

    launch().hide();
    launch().show();
    clock_.RunDue();
    EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(StartUpTest, ShortDatabaseReportsItsEnd) {
    WriteFile("QVDB.dat", DatabaseBytes(RecordContent(SampleFields(1))));
    Program& program = StartProgram();
    EXPECT_EQ(Errors(), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_EQ(program.Pages().At(1).Title, "Title 1");
    EXPECT_TRUE(fonts_.Calls().empty());
}

} // namespace
} // namespace tavelio::test
