// The command itself: exit statuses and where its messages go.
#include "book_fixture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tavelio::book {
namespace {

using test::BookFixture;

// Runs the command with args, its output and errors going to files in dir; returns the status.
int RunCommand(const test::ScratchDir& dir, const std::string& args) {
    const std::string command = std::string("'") + TAVELIO_BOOK_COMMAND + "' " + args + " >'" +
                                dir.Path("stdout") + "' 2>'" + dir.Path("stderr") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TavelioBookTest, PackUnpackAndDumpSucceed) {
    BookFixture book;
    const std::string manifest = book.WriteManifest();
    EXPECT_EQ(RunCommand(book.dir, "pack '" + manifest + "' '" + book.dir.Path("out") + "'"), 0);
    EXPECT_EQ(RunCommand(book.dir, "unpack '" + book.dir.Path("out") + "' '" +
                                       book.dir.Path("unpacked") + "'"),
              0);
    EXPECT_EQ(RunCommand(book.dir, "dump '" + book.dir.Path("out") + "'"), 0);
    const auto json = nlohmann::json::parse(test::ReadFile(book.dir.Path("stdout")));
    EXPECT_EQ(json["records"][11]["PageNo"], 11);
}

TEST(TavelioBookTest, ARefusalExitsWithOneAndSaysWhyOnStandardError) {
    BookFixture book;
    book.manifest["pages"][2]["BookNo"] = 300;
    const std::string manifest = book.WriteManifest();
    EXPECT_EQ(RunCommand(book.dir, "pack '" + manifest + "' '" + book.dir.Path("out") + "'"), 1);
    const std::string errors = test::ReadFile(book.dir.Path("stderr"));
    EXPECT_NE(errors.find("slot 3), field BookNo: 300"), std::string::npos) << errors;
}

TEST(TavelioBookTest, DumpOfAMissingDatabaseExitsWithOneAndStillPrintsTheTable) {
    test::ScratchDir dir;
    EXPECT_EQ(RunCommand(dir, "dump '" + dir.Path("none") + "'"), 1);
    const auto json = nlohmann::json::parse(test::ReadFile(dir.Path("stdout")));
    EXPECT_EQ(json["error"], "File not found.");
}

TEST(TavelioBookTest, AWrongCommandLineShowsTheUsage) {
    test::ScratchDir dir;
    EXPECT_EQ(RunCommand(dir, "pack only-one"), 2);
    EXPECT_NE(test::ReadFile(dir.Path("stderr")).find("usage:"), std::string::npos);
}

} // namespace
} // namespace tavelio::book
