#include "book/pack_command.h"
#include "book/tool_error.h"
#include "book_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavelio::book {
namespace {

using test::BookFixture;
using test::Decoded;
using test::ReadFile;

TEST(PackTest, WritesDataFilesThatLoadAsTheManifestSays) {
    BookFixture book;
    book.manifest["pages"][4]["Title"] = "Caf\u00e9 \u20ac \u201cquoted\u201d";
    book.manifest["pages"][5]["MediaHeight"] = -1;
    book.manifest["pages"][6]["PageKind"] = -128;
    book.manifest["pages"][7]["BookNo"] = 255;
    book.manifest["pages"][8]["SpeechEnd"] = INT32_MIN;
    RunPack(book.WriteManifest(), book.dir.Path("out"));

    const PageTable table = test::LoadFolder(book.dir.Path("out"), book.dir.Path("font.out"));
    EXPECT_EQ(ReadFile(book.dir.Path("font.out")),
              BookFixture::Bytes(20000, 3) + std::string(kFontBlockSize - 20000, '\0'));
    EXPECT_EQ(table.At(1).PicType, "jpg");
    EXPECT_EQ(table.At(1).PicOffset, 0);
    EXPECT_EQ(table.At(1).PicSize, 3000);
    EXPECT_EQ(table.At(2).PicType, "bmp");
    EXPECT_EQ(table.At(2).PicOffset, 3000);
    EXPECT_EQ(table.At(2).PicSize, 1500);
    // The same picture file is stored once.
    EXPECT_EQ(table.At(4).PicOffset, 0);
    EXPECT_EQ(table.At(4).PicSize, 3000);
    EXPECT_EQ(table.At(3).PicType, "NA");
    EXPECT_EQ(table.At(3).PicOffset, 0);
    EXPECT_EQ(table.At(2).Letter, 'a');
    EXPECT_EQ(table.At(1).Letter, '\0');
    EXPECT_EQ(table.At(1).InstructionText, "Listen.~~Repeat.");
    EXPECT_EQ(table.At(1).ScriptText, "3~1000~1~200~1500");
    EXPECT_EQ(table.At(5).Title, "Caf\xE9 \x80 \x93quoted\x94");
    EXPECT_EQ(table.At(6).MediaHeight, -1);
    EXPECT_EQ(table.At(7).PageKind, -128);
    EXPECT_EQ(table.At(8).BookNo, 255);
    EXPECT_EQ(table.At(9).SpeechEnd, INT32_MIN);
    EXPECT_EQ(table.At(12).PageNo, 11);
    EXPECT_EQ(Decoded(ReadFile(book.dir.Path("out/Graphics.dat"))),
              BookFixture::Bytes(3000, 5) + BookFixture::Bytes(1500, 11));
}

TEST(PackTest, MissingFieldsAreEmptyOrZeroAndEmptyPromptAndScriptAreStoredAsABlank) {
    BookFixture book;
    book.manifest["pages"][2] = nlohmann::json::object();
    book.manifest["pages"][3]["PromptText"] = "";
    book.manifest["pages"][3]["ScriptText"] = nlohmann::json::array();
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    const std::string database = Decoded(ReadFile(book.dir.Path("out/QVDB.dat")));
    // Slots 1 and 2 have pictures; slot 3 is the empty page, written field by field.
    std::size_t start = kFontBlockSize;
    for (int record = 0; record < 2; ++record) {
        for (int field = 0; field < 17; ++field) {
            start = database.find('\t', start) + 1;
        }
    }
    const std::string expected = "0\t0\t\t\t\t0\t0\t\t0\t0\t\t\t0\t0\t0\t \t \t";
    EXPECT_EQ(database.substr(start, expected.size()), expected);
    const PageTable table = test::LoadFolder(book.dir.Path("out"), book.dir.Path("font.out"));
    EXPECT_EQ(table.At(3).PromptText, " ");
    EXPECT_EQ(table.At(4).PromptText, " ");
    EXPECT_EQ(table.At(4).ScriptText, " ");
}

TEST(PackTest, PicTypeGivenWithAPictureIsKept) {
    BookFixture book;
    book.manifest["pages"][1]["PicType"] = "BMP";
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    EXPECT_EQ(test::LoadFolder(book.dir.Path("out"), book.dir.Path("f")).At(2).PicType, "BMP");
}

TEST(PackTest, AFontOfExactlyTheBlockFits) {
    BookFixture book;
    test::WriteFile(book.dir.Path("font.ttf"), std::string(kFontBlockSize, 'F'));
    RunPack(book.WriteManifest(), book.dir.Path("out"));
    EXPECT_EQ(ReadFile(book.dir.Path("out/QVDB.dat")).size() > kFontBlockSize, true);
}

TEST(PackTest, ManifestsMayCarryComments) {
    BookFixture book;
    test::WriteFile(book.dir.Path("commented.json"), "// the demo book\n" + book.manifest.dump(2));
    EXPECT_NO_THROW(RunPack(book.dir.Path("commented.json"), book.dir.Path("out")));
}

// Everything the reader would read differently from what the manifest says is refused, with a
// message that names the page and the field.
struct Refusal {
    std::string name;
    std::function<void(BookFixture&)> breakIt;
    std::string message; // a part of the expected message
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class PackRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(PackRefusalTest, RefusesNamingPageAndFieldAndWritesNothing) {
    BookFixture book;
    GetParam().breakIt(book);
    const std::string manifest = book.WriteManifest();
    try {
        RunPack(manifest, book.dir.Path("out"));
        FAIL() << "not refused";
    } catch (const ToolError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(book.dir.Path("out/QVDB.dat")));
}

nlohmann::json& PageOf(BookFixture& book, std::size_t index) {
    return book.manifest["pages"][index];
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, PackRefusalTest,
    ::testing::Values(
        Refusal{"TabInText", [](BookFixture& b) { PageOf(b, 4)["Title"] = "a\tb"; },
                "pages[4] (slot 5), field Title: contains a TAB"},
        Refusal{"TabInALine",
                [](BookFixture& b) {
                    PageOf(b, 2)["PageText"] = {"one", "t\two"};
                },
                "slot 3), field PageText: contains a TAB"},
        Refusal{"BookNoTooLarge", [](BookFixture& b) { PageOf(b, 0)["BookNo"] = 256; },
                "slot 1), field BookNo: 256 is outside the field's range 0 to 255"},
        Refusal{"PageNoNegative", [](BookFixture& b) { PageOf(b, 1)["PageNo"] = -1; },
                "field PageNo: -1 is outside"},
        Refusal{"PageKindTooLarge", [](BookFixture& b) { PageOf(b, 1)["PageKind"] = 128; },
                "field PageKind: 128 is outside the field's range -128 to 127"},
        Refusal{"PageKindTooSmall", [](BookFixture& b) { PageOf(b, 1)["PageKind"] = -129; },
                "field PageKind: -129"},
        Refusal{"MediaWidthTooLarge", [](BookFixture& b) { PageOf(b, 1)["MediaWidth"] = 70000; },
                "field MediaWidth: 70000 is outside the field's range -32768 to 32767"},
        Refusal{"MediaHeightTooSmall", [](BookFixture& b) { PageOf(b, 1)["MediaHeight"] = -32769; },
                "field MediaHeight"},
        Refusal{"SpeechEndBeyond32Bits",
                [](BookFixture& b) { PageOf(b, 1)["SpeechEnd"] = 2147483648LL; },
                "field SpeechEnd: 2147483648 is outside"},
        Refusal{"HugeUnsigned", [](BookFixture& b) { PageOf(b, 1)["SpeechStart"] = UINT64_MAX; },
                "field SpeechStart"},
        Refusal{"FractionalNumber", [](BookFixture& b) { PageOf(b, 1)["SpeechStart"] = 1.5; },
                "field SpeechStart: 1.5 is not a whole number"},
        Refusal{"NumberAsText", [](BookFixture& b) { PageOf(b, 1)["PageNo"] = "1"; },
                "field PageNo: \"1\" is not a whole number"},
        Refusal{"ElevenPages", [](BookFixture& b) { b.manifest["pages"].erase(11); },
                "11 pages given; a book is exactly 12 pages"},
        Refusal{"ThirteenPages",
                [](BookFixture& b) { b.manifest["pages"].push_back(BookFixture::Page(12)); },
                "13 pages given"},
        Refusal{"FontTooLarge",
                [](BookFixture& b) {
                    test::WriteFile(b.dir.Path("font.ttf"), std::string(52417, 'F'));
                },
                "is 52417 bytes; the font block holds 52416"},
        Refusal{"MissingFont", [](BookFixture& b) { b.manifest["font"] = "nofont.ttf"; },
                "nofont.ttf: File not found."},
        Refusal{"NotWindows1252", [](BookFixture& b) { PageOf(b, 6)["PageText"] = "\u4e2d"; },
                "slot 7), field PageText: character U+4E2D is not in Windows-1252"},
        Refusal{"MissingPicture",
                [](BookFixture& b) { PageOf(b, 0)["picture"] = "pictures/none.jpg"; },
                "slot 1), field picture: picture file"},
        Refusal{"LetterOfTwo", [](BookFixture& b) { PageOf(b, 3)["Letter"] = "AB"; },
                "slot 4), field Letter: \"AB\" is more than one character"},
        Refusal{"LetterAsList", [](BookFixture& b) { PageOf(b, 3)["Letter"] = {"A"}; },
                "field Letter: must be a string of one character or none"},
        Refusal{"TildeInALine",
                [](BookFixture& b) {
                    PageOf(b, 3)["PromptText"] = {"a~b", "c"};
                },
                "field PromptText: line 1 holds a \"~\""},
        Refusal{"ListEndingEmpty",
                [](BookFixture& b) {
                    PageOf(b, 3)["InstructionText"] = {"Listen.", ""};
                },
                "field InstructionText: the last line is empty"},
        Refusal{"PictureAndOffset", [](BookFixture& b) { PageOf(b, 0)["PicOffset"] = 7; },
                "field PicOffset: given together with a picture"},
        Refusal{"PictureWithNoPictureMark", [](BookFixture& b) { PageOf(b, 0)["PicType"] = "NA"; },
                "field PicType: \"NA\" marks a page without a picture"},
        Refusal{"PictureWithoutExtension",
                [](BookFixture& b) {
                    test::WriteFile(b.dir.Path("pictures/plain"), "x");
                    PageOf(b, 0)["picture"] = "pictures/plain";
                },
                "has no extension; give PicType"},
        Refusal{"UnknownPageKey", [](BookFixture& b) { PageOf(b, 2)["Titel"] = "x"; },
                "slot 3), field Titel: not a field of a page"},
        Refusal{"UnknownTopKey", [](BookFixture& b) { b.manifest["fonts"] = "x"; },
                "unknown key \"fonts\""},
        Refusal{"TextAsNumber", [](BookFixture& b) { PageOf(b, 2)["Title"] = 5; },
                "field Title: must be a string or a list of lines"}),
    [](const ::testing::TestParamInfo<Refusal>& refusal) { return refusal.param.name; });

TEST(PackTest, NotJsonIsRefusedNamingTheFile) {
    test::ScratchDir dir;
    // Cut short, and a number beyond a double.
    for (const std::string text : {"{ \"font\": ", "1e400"}) {
        test::WriteFile(dir.Path("book.json"), text);
        try {
            RunPack(dir.Path("book.json"), dir.Path("out"));
            ADD_FAILURE() << text << ": not refused";
        } catch (const ToolError& error) {
            EXPECT_THAT(error.what(),
                        ::testing::StartsWith(dir.Path("book.json") + ": not valid JSON: "));
        }
    }
}

} // namespace
} // namespace tavelio::book
