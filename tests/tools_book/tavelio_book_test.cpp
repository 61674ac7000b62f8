// The command itself: exit statuses and where its messages go.
#include "book_fixture.h"
#include "version/version.h"

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

TEST(TavelioBookTest, AWrongCommandLineSaysWhatWasWrongBeforeTheUsage) {
    test::ScratchDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"", "no command given"},
        {"frob", "unknown command 'frob'"},
        {"--frob", "unknown option '--frob'"},
        {"check --quick", "check: unknown option '--quick'"},
        {"dump --font-out", "dump: --font-out needs the file to write the font to"},
        {"pack only-one", "pack: wants a MANIFEST and an OUTDIR, given 1"},
        {"epub --html only-one", "epub: wants a DIR and an OUTDIR, given 1"},
        {"epub a b --fast", "epub: unknown option '--fast'"},
    };
    for (const auto& [args, what] : cases) {
        EXPECT_EQ(RunCommand(dir, args), 2) << args;
        EXPECT_TRUE(
            test::ReadFile(dir.Path("stderr")).starts_with("tavelio-book: " + what + "\n\nusage:"))
            << test::ReadFile(dir.Path("stderr"));
    }
}

TEST(TavelioBookTest, AFolderThatIsNotOneIsSaidWithThePathAsGiven) {
    test::ScratchDir dir;
    test::WriteFile(dir.Path("book.txt"), "");
    EXPECT_EQ(RunCommand(dir, "check '" + dir.Path("book.txt") + "'"), 1);
    EXPECT_EQ(test::ReadFile(dir.Path("stderr")),
              "tavelio-book: " + dir.Path("book.txt") + ": not a folder\n");
    EXPECT_EQ(test::ReadFile(dir.Path("stdout")), "");
}

TEST(TavelioBookTest, VersionAndHelpGoToStandardOutput) {
    test::ScratchDir dir;
    EXPECT_EQ(RunCommand(dir, "--version"), 0);
    EXPECT_EQ(test::ReadFile(dir.Path("stdout")), std::string("tavelio-book ") + kVersion + "\n");
    EXPECT_EQ(RunCommand(dir, "--help"), 0);
    EXPECT_TRUE(test::ReadFile(dir.Path("stdout")).starts_with("usage:"));
}

} // namespace
} // namespace tavelio::book
