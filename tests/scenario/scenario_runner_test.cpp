// The runner as a program: its command line, its exit statuses, what it says about mistakes, how
// it ends, and its output through a pipe.
#include "runner_process.h"
#include "support/database_builder.h"
#include "support/scratch_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tavelio::test {
namespace {

using ::testing::HasSubstr;

class ScenarioRunnerTest : public ::testing::Test {
protected:
    ScenarioRunnerTest() {
        WriteFile(folder_.Path("QVDB.dat"), DatabaseBytes(TwelveSampleRecords()));
        std::filesystem::create_directory(folder_.Path("tmp"));
    }

    // Runs script (written to a file) with the further arguments before it.
    RunnerResult Run(const std::string& script, std::vector<std::string> arguments = {}) {
        WriteFile(folder_.Path("script.txt"), script);
        arguments.push_back("script.txt");
        return RunRunner(arguments, folder_.Root().string(), "", {{"TMPDIR", folder_.Path("tmp")}});
    }

    static nlohmann::json Json(const std::string& line) { return nlohmann::json::parse(line); }

    ScratchDir folder_;
};

// The width and height in a PNG file's header, or {0, 0} when it is no PNG.
std::pair<int, int> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return {0, 0};
    }
    const auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 4; ++i) {
            value = value * 256 + static_cast<unsigned char>(bytes[i]);
        }
        return value;
    };
    return {number(16), number(20)};
}

TEST_F(ScenarioRunnerTest, BadLineStopsTheRunAfterAnOrderlyShutdown) {
    const RunnerResult result = Run("dump\n# fine so far\n\nwait 10\njump 3\ndump\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, "tavelio-scenario: line 5: unknown command 'jump'\n");
    ASSERT_EQ(result.lines.size(), 1u);
    const nlohmann::json dump = Json(result.lines[0]);
    const std::string tempDir = dump["settings"]["TempDir"];
    EXPECT_EQ(tempDir.rfind(folder_.Path("tmp/tavelio-"), 0), 0u) << tempDir;
    EXPECT_FALSE(std::filesystem::exists(dump["settings"]["FontFile"].get<std::string>()));
    EXPECT_FALSE(std::filesystem::exists(tempDir));
}

TEST_F(ScenarioRunnerTest, ArgumentsThatNameNothingAreMistakes) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"click Nothing\n", "line 1: click: no control named 'Nothing' on any form"},
        {"click SplashTime\n", "line 1: click: SplashTime is not a control that can be clicked"},
        {"close Nobody\n", "line 1: close: no form named 'Nobody'"},
        {"shot launch x.png\n", "line 1: shot: no form named 'launch'"},
        {"char \xE4\xB8\xAD\n", "line 1: char: the character can't be typed"},
        {"key Shift\n", "line 1: key: unknown key 'Shift'"},
        {"wait 999999999999999\nwait 2\n",
         "line 2: wait: virtual time can't go past 1000000000000000 ms"},
    };
    for (const auto& c : cases) {
        const RunnerResult result = Run(c.script);
        EXPECT_EQ(result.status, 2) << c.script;
        EXPECT_THAT(result.errors, HasSubstr(c.message)) << c.script;
    }
}

TEST_F(ScenarioRunnerTest, InputThatCantArriveIsANoteNotAMistake) {
    const RunnerResult result = Run("close ViewBook\nclick Ann\nclick SplashFront\nwait 4000\n"
                                    "close Splash\nshot Splash gone.png\nclick SplashBack\ndump\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.lines.size(), 1u);
    EXPECT_THAT(result.errors, HasSubstr("line 1: note: ViewBook is hidden or disabled"));
    EXPECT_THAT(result.errors, HasSubstr("line 2: note: Ann is hidden or disabled; no click"));
    EXPECT_THAT(result.errors, HasSubstr("line 3: note: SplashFront is on Splash, which is not "
                                         "the active form; no click"));
    EXPECT_THAT(result.errors, HasSubstr("line 5: note: Splash does not exist now"));
    EXPECT_THAT(result.errors, HasSubstr("line 6: note: Splash does not exist now"));
    EXPECT_THAT(result.errors, HasSubstr("line 7: note: SplashBack is gone with its form"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path("gone.png")));
}

TEST_F(ScenarioRunnerTest, ShotSavesTheFormAsDrawn) {
    const RunnerResult result =
        Run("shot Launch launch.png\nshot Splash \"splash shot.png\"\nclick QVA\n"
            "shot Launch book-view.png\n",
            {"--screen", "640x480"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(PngSize(ReadFile(folder_.Path("launch.png"))), std::make_pair(562, 375));
    EXPECT_EQ(PngSize(ReadFile(folder_.Path("splash shot.png"))), std::make_pair(640, 480));
    EXPECT_EQ(PngSize(ReadFile(folder_.Path("book-view.png"))), std::make_pair(582, 373));
}

TEST_F(ScenarioRunnerTest, ShotThatCantBeWrittenFails) {
    const RunnerResult result = Run("shot Launch no/such/folder/launch.png\ndump\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(
        result.errors,
        HasSubstr("line 1: can't write the picture no/such/folder/launch.png: No such file"));
    EXPECT_TRUE(result.lines.empty());
}

TEST_F(ScenarioRunnerTest, CommandLineMistakes) {
    WriteFile(folder_.Path("script.txt"), "dump\n");
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"--screen", "800"}, "--screen wants WIDTHxHEIGHT in pixels, not 800"},
        {{"--screen", "0x600"}, "--screen wants WIDTHxHEIGHT in pixels, not 0x600"},
        {{"--screen"}, "unexpected argument --screen"},
        {{"--ratio", "0.5"}, "--ratio wants a number from 1 to 4, not 0.5"},
        {{"--ratio", "2x"}, "--ratio wants a number from 1 to 4, not 2x"},
        {{"missing.txt"}, "can't read the script missing.txt"},
        {{"script.txt", "script.txt"}, "unexpected argument script.txt"},
        {{"--verbose"}, "unexpected argument --verbose"},
    };
    for (const auto& c : cases) {
        const RunnerResult result = RunRunner(c.arguments, folder_.Root().string());
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_THAT(result.errors, HasSubstr(c.message));
        EXPECT_TRUE(result.lines.empty());
    }
    const RunnerResult help = RunRunner({"--help"}, folder_.Root().string());
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.lines.at(0), HasSubstr("usage: tavelio-scenario"));
}

TEST_F(ScenarioRunnerTest, ScriptFromStandardInput) {
    WriteFile(folder_.Path("input.txt"), "wait 20\ndump\n");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"-"}}) {
        const RunnerResult result =
            RunRunner(arguments, folder_.Root().string(), folder_.Path("input.txt"));
        EXPECT_EQ(result.status, 0) << result.errors;
        ASSERT_EQ(result.lines.size(), 1u);
        EXPECT_EQ(Json(result.lines[0])["time"], 20);
    }
}

TEST_F(ScenarioRunnerTest, MalformedHiveIsReportedAndCountsAsNoKey) {
    WriteFile(folder_.Path("broken.reg"),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\n\"MP3\"=dword:1x\n");
    const RunnerResult result = Run("dump\n", {"--registry", folder_.Path("broken.reg")});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.errors, HasSubstr("broken.reg"));
    ASSERT_EQ(result.lines.size(), 1u);
    const nlohmann::json dump = Json(result.lines[0]);
    EXPECT_EQ(dump["errors"], nlohmann::json::array());
    EXPECT_EQ(dump["settings"]["UseMP3"], false);
    EXPECT_EQ(dump["flags"]["LaunchActivated"], true);
}

TEST_F(ScenarioRunnerTest, MissingHiveIsNoKeyWithANote) {
    const RunnerResult result = Run("dump\n", {"--registry", "missing.reg"});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.errors, HasSubstr("note: no registry hive missing.reg, so no key"));
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(Json(result.lines[0])["errors"], nlohmann::json::array());
    EXPECT_EQ(Json(result.lines[0])["settings"]["FromPath"], ".");
}

TEST_F(ScenarioRunnerTest, DumpsArriveThroughAPipeBeforeTheNextCommand) {
    PipedRunner runner({}, folder_.Root().string());
    runner.Send("dump\n");
    const nlohmann::json first = Json(runner.ReadLine());
    EXPECT_EQ(first["time"], 0);
    EXPECT_EQ(first["forms"]["Launch"]["width"], 570);
    runner.Send("click QVA\nwait 4000\ndump\n");
    const nlohmann::json second = Json(runner.ReadLine());
    EXPECT_EQ(second["time"], 4000);
    EXPECT_EQ(second["forms"]["Launch"]["width"], 590);
    runner.Send("close Launch\n");
    EXPECT_EQ(runner.ReadLine(), "");
    EXPECT_EQ(runner.Finish(), 0);
    EXPECT_FALSE(std::filesystem::exists(first["settings"]["TempDir"].get<std::string>()));
}

} // namespace
} // namespace tavelio::test
