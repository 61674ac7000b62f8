#include "book/dump_command.h"
#include "book/pack_command.h"
#include "book_fixture.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tavelio::book {
namespace {

using test::BookFixture;

// The printed table; the status and what went to standard error in the out parameters.
nlohmann::ordered_json Dump(const std::string& folder, const std::string& fontOut, int& status,
                            std::string* errors = nullptr) {
    std::ostringstream out;
    std::ostringstream err;
    status = RunDump(folder, fontOut, out, err);
    if (errors != nullptr) {
        *errors = err.str();
    }
    return nlohmann::ordered_json::parse(out.str());
}

TEST(DumpTest, PrintsEveryFieldOfTheTwelveRecordsAsTheReaderHoldsThem) {
    BookFixture book;
    book.manifest["pages"][2]["MediaHeight"] = -1;
    book.manifest["pages"][2]["PageKind"] = -1;
    book.manifest["pages"][2]["Title"] = "\u20ac\u00e9";
    book.manifest["pages"][2]["PageText"] = std::string("a") + '\0' + "b";
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    int status = -1;
    const auto json = Dump(book.dir.Path("out"), book.dir.Path("font.out"), status);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(json["error"].is_null());
    ASSERT_EQ(json["records"].size(), 12u);
    const auto& third = json["records"][2];
    std::vector<std::string> keys;
    for (const auto& [key, value] : third.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"slot", "BookNo", "PageNo", "Letter", "Title",
                                              "InstructionText", "PicOffset", "PicSize", "PicType",
                                              "MediaHeight", "MediaWidth", "AniFile", "PageText",
                                              "SpeechStart", "SpeechEnd", "PageKind", "PromptText",
                                              "ScriptText"}));
    EXPECT_EQ(third["slot"], 3);
    EXPECT_EQ(third["MediaHeight"], -1);
    EXPECT_EQ(third["PageKind"], -1);
    EXPECT_EQ(third["Letter"], std::string(1, '\0'));
    EXPECT_EQ(third["Title"], "\u20ac\u00e9");
    EXPECT_EQ(third["PageText"], std::string("a") + '\0' + "b");
    EXPECT_EQ(third["PromptText"], " ");
    EXPECT_EQ(json["records"][1]["PicSize"], 1500);
    EXPECT_EQ(test::ReadFile(book.dir.Path("font.out")).size(), kFontBlockSize);
}

TEST(DumpTest, PrintsTheZeroCharacterAsAnEscape) {
    BookFixture book;
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    std::ostringstream out;
    std::ostringstream err;
    RunDump(book.dir.Path("out"), "", out, err);
    EXPECT_NE(out.str().find(R"("Letter": "\u0000")"), std::string::npos);
}

TEST(DumpTest, AnErrorIsPrintedAsTheErrorBoxShowsItWithTheSlotsAsTheyAre) {
    BookFixture book;
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    // Cut the database inside record 12.
    const std::string stored = test::ReadFile(book.dir.Path("out/QVDB.dat"));
    test::WriteFile(book.dir.Path("out/QVDB.dat"), stored.substr(0, stored.size() - 30));
    int status = -1;
    const auto json = Dump(book.dir.Path("out"), "", status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(json["error"], "Read beyond end of file.");
    ASSERT_EQ(json["records"].size(), 12u);
    EXPECT_EQ(json["records"][10]["PageNo"], 10);
    EXPECT_EQ(json["records"][11]["PageNo"], 11);     // filled before the cut
    EXPECT_EQ(json["records"][11]["ScriptText"], ""); // not reached
}

TEST(DumpTest, AMissingDatabaseGivesFileNotFoundAndEmptySlots) {
    test::ScratchDir dir;
    int status = -1;
    std::string errors;
    const auto json = Dump(dir.Path("none"), "", status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(json["error"], "File not found.");
    EXPECT_EQ(errors, dir.Path("none") + "/QVDB.dat: File not found.\n");
    EXPECT_EQ(json["records"][0]["BookNo"], 0);
    EXPECT_EQ(json["records"][0]["Title"], "");
}

TEST(DumpTest, TheTemporaryFontIsRemoved) {
    BookFixture book;
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    // The temporary font goes to TMPDIR; point it at an empty folder of the test's own.
    std::filesystem::create_directory(book.dir.Path("tmp"));
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved != nullptr ? saved : "";
    ::setenv("TMPDIR", book.dir.Path("tmp").c_str(), 1);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunDump(book.dir.Path("out"), "", out, err);
    if (saved != nullptr) {
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::filesystem::is_empty(book.dir.Path("tmp")));
}

} // namespace
} // namespace tavelio::book
