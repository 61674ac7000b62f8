// Runs every script in scripts/ through tavelio-scenario and checks the facts the script states
// about its own dumps. Besides the runner's commands a script holds lines that the runner takes
// for comments and this test reads:
//
//   #> registry FILE       run with --registry scripts/FILE
//   #> screen WxH          run with --screen WxH
//   #> database NAME       the data folder's QVDB.dat: "book" (default: twelve valid records),
//                          "none" (no file) or "short" (eleven records); or "demo": the data
//                          folder holds the built demo book's files
//   #> expect PTR JSON     in the latest dump above this line, the value at the JSON pointer PTR
//                          equals JSON
//   #> absent PTR          in the latest dump above this line, nothing is at PTR
//   #> dumps N            the run writes N dump lines in all
//   #> status N           the run's exit status (default 0)
//   #> gone PTR           after the run, no file or folder exists at the path that the last dump
//                          gives at PTR
//
// The runner's temporary directory is made under a folder of the test's own.
#include "runner_process.h"
#include "scenario/script_command.h"
#include "support/database_builder.h"
#include "support/scratch_dir.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tavelio::test {
namespace {

const std::filesystem::path kScriptFolder = TAVELIO_SCENARIO_SCRIPTS;
const std::filesystem::path kDemoFolder = TAVELIO_DEMO_DIR;

struct Expectation {
    int lineNo;
    std::size_t dumpCount; // dumps written before the line
    std::string pointer;
    nlohmann::json value; // discarded: nothing may be at the pointer
};

struct ScriptPlan {
    std::vector<std::string> arguments;
    std::string database = "book";
    std::vector<Expectation> expectations;
    std::vector<std::string> gone;
    int dumps = -1;
    int status = 0;
};

ScriptPlan ReadPlan(const std::filesystem::path& script) {
    ScriptPlan plan;
    std::ifstream in(script);
    int lineNo = 0;
    std::size_t dumpCount = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (line.rfind("#>", 0) != 0) {
            const auto command = ParseScriptLine(line);
            dumpCount += command && command->verb == ScriptCommand::Verb::Dump;
            continue;
        }
        std::istringstream words(line.substr(2));
        std::string directive;
        words >> directive;
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (directive == "registry") {
            plan.arguments.insert(plan.arguments.end(),
                                  {"--registry", (kScriptFolder / rest).string()});
        } else if (directive == "screen") {
            plan.arguments.insert(plan.arguments.end(), {"--screen", rest});
        } else if (directive == "database") {
            plan.database = rest;
        } else if (directive == "expect") {
            const std::size_t blank = rest.find(' ');
            plan.expectations.push_back({lineNo, dumpCount, rest.substr(0, blank),
                                         nlohmann::json::parse(rest.substr(blank + 1))});
        } else if (directive == "absent") {
            plan.expectations.push_back(
                {lineNo, dumpCount, rest, nlohmann::json(nlohmann::json::value_t::discarded)});
        } else if (directive == "dumps") {
            plan.dumps = std::stoi(rest);
        } else if (directive == "status") {
            plan.status = std::stoi(rest);
        } else if (directive == "gone") {
            plan.gone.push_back(rest);
        } else {
            ADD_FAILURE() << script << ":" << lineNo << ": unknown directive " << directive;
        }
    }
    return plan;
}

std::string DatabaseOfKind(const std::string& kind) {
    if (kind == "short") {
        std::string area;
        for (int slot = 1; slot <= 11; ++slot) {
            area += RecordContent(SampleFields(slot));
        }
        return DatabaseBytes(area);
    }
    return DatabaseBytes(TwelveSampleRecords());
}

class ScenarioScriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ScenarioScriptTest, FactsHold) {
    const std::filesystem::path script = kScriptFolder / GetParam();
    const ScriptPlan plan = ReadPlan(script);
    ScratchDir folder;
    if (plan.database == "demo") {
        // Linked, not copied: the program only reads its data files.
        for (const auto& entry : std::filesystem::directory_iterator(kDemoFolder)) {
            std::filesystem::create_symlink(entry.path(),
                                            folder.Path(entry.path().filename().string()));
        }
    } else if (plan.database != "none") {
        WriteFile(folder.Path("QVDB.dat"), DatabaseOfKind(plan.database));
    }
    std::filesystem::create_directory(folder.Path("tmp"));
    std::vector<std::string> arguments = plan.arguments;
    arguments.push_back(script.string());
    const RunnerResult result =
        RunRunner(arguments, folder.Root().string(), "", {{"TMPDIR", folder.Path("tmp")}});

    EXPECT_EQ(result.status, plan.status) << result.errors;
    std::vector<nlohmann::json> dumps;
    for (const std::string& line : result.lines) {
        dumps.push_back(nlohmann::json::parse(line));
    }
    if (plan.dumps >= 0) {
        EXPECT_EQ(static_cast<int>(dumps.size()), plan.dumps);
    }
    for (const Expectation& expectation : plan.expectations) {
        SCOPED_TRACE(GetParam() + ":" + std::to_string(expectation.lineNo));
        ASSERT_GE(expectation.dumpCount, 1u) << "no dump above";
        ASSERT_LE(expectation.dumpCount, dumps.size()) << result.errors;
        const nlohmann::json& dump = dumps[expectation.dumpCount - 1];
        const nlohmann::json::json_pointer pointer(expectation.pointer);
        if (expectation.value.is_discarded()) {
            EXPECT_FALSE(dump.contains(pointer)) << expectation.pointer;
            continue;
        }
        ASSERT_TRUE(dump.contains(pointer)) << expectation.pointer << " in " << dump.dump();
        EXPECT_EQ(dump.at(pointer), expectation.value) << expectation.pointer;
    }
    for (const std::string& pointer : plan.gone) {
        ASSERT_FALSE(dumps.empty());
        const std::string path = dumps.back().at(nlohmann::json::json_pointer(pointer));
        ASSERT_FALSE(path.empty()) << pointer;
        EXPECT_FALSE(std::filesystem::exists(path)) << pointer << ": " << path;
    }
}

std::vector<std::string> Scripts() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kScriptFolder)) {
        if (entry.path().extension() == ".scenario") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScenarioScriptTest, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<std::string>& script) {
                             std::string name = script.param.substr(0, script.param.find('.'));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

} // namespace
} // namespace tavelio::test
