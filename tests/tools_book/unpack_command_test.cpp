#include "book/book_image.h"
#include "book/pack_command.h"
#include "book/tool_error.h"
#include "book/unpack_command.h"
#include "book_fixture.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tavelio::book {
namespace {

using test::BookFixture;
using test::Decoded;
using test::ReadFile;

// The bytes of every page's picture, exactly PicSize bytes from PicOffset.
std::vector<std::string> PictureBytes(const PageTable& table, const std::string& archivePath) {
    const std::string archive = Decoded(ReadFile(archivePath));
    std::vector<std::string> pictures;
    for (int slot = 1; slot <= 12; ++slot) {
        const QVDBType& record = table.At(slot);
        pictures.push_back(record.PicType == "NA"
                               ? std::string()
                               : archive.substr(static_cast<std::size_t>(record.PicOffset),
                                                static_cast<std::size_t>(record.PicSize)));
    }
    return pictures;
}

// Places a record's picture by field texts written as they are, not as pack would write them.
void PlacePicture(FieldTexts& record, const std::string& offset, const std::string& size,
                  const std::string& type) {
    record[FieldIndexOf(&QVDBType::PicOffset)] = offset;
    record[FieldIndexOf(&QVDBType::PicSize)] = size;
    record[FieldIndexOf(&QVDBType::PicType)] = type;
}

class UnpackTest : public ::testing::Test {
protected:
    void Unpack(const std::string& from, const std::string& to) {
        std::ostringstream notes;
        RunUnpack(from, to, notes);
        notes_ = notes.str();
    }
    BookFixture book_;
    std::string notes_;
};

TEST_F(UnpackTest, PackOfTheUnpackedManifestGivesTheSameFilesByteForByte) {
    book_.manifest["pages"][4]["Title"] = std::string("odd \u0081 \u00ff \u20ac ") + '\0' + "end";
    book_.manifest["pages"][5]["Letter"] = "\u00e9";
    book_.manifest["pages"][6]["PromptText"] = "";
    book_.manifest["pages"][7]["PageText"] = "ends in an empty line~~";
    RunPack(book_.WriteManifest(), book_.dir.Path("first"));
    Unpack(book_.dir.Path("first"), book_.dir.Path("unpacked"));
    RunPack(book_.dir.Path("unpacked/book.json"), book_.dir.Path("second"));

    EXPECT_EQ(ReadFile(book_.dir.Path("first/QVDB.dat")),
              ReadFile(book_.dir.Path("second/QVDB.dat")));
    EXPECT_EQ(ReadFile(book_.dir.Path("first/Graphics.dat")),
              ReadFile(book_.dir.Path("second/Graphics.dat")));
    EXPECT_EQ(notes_.find("note:"), std::string::npos) << notes_;
}

TEST_F(UnpackTest, WritesEachPictureOnceWithItsExactBytes) {
    RunPack(book_.WriteManifest(), book_.dir.Path("first"));
    Unpack(book_.dir.Path("first"), book_.dir.Path("unpacked"));
    const auto manifest = nlohmann::json::parse(ReadFile(book_.dir.Path("unpacked/book.json")));
    const auto& pages = manifest["pages"];
    EXPECT_EQ(pages[0]["picture"], "pictures/slot01.jpg");
    EXPECT_EQ(pages[3]["picture"], "pictures/slot01.jpg");
    EXPECT_EQ(pages[1]["picture"], "pictures/slot02.bmp");
    EXPECT_FALSE(pages[2].contains("picture"));
    EXPECT_EQ(pages[2]["PicType"], "NA");
    EXPECT_FALSE(pages[0].contains("PicOffset"));
    EXPECT_EQ(pages[0]["Letter"], "");
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/pictures/slot01.jpg")),
              BookFixture::Bytes(3000, 5));
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/pictures/slot02.bmp")),
              BookFixture::Bytes(1500, 11));
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/ZBM.TTF")).size(), kFontBlockSize);
}

// Data files not written by pack: pictures out of page order, bytes that no page names, a
// picture inside another, one beyond the archive's end, and numbers written unlike pack writes
// them. The page table and the picture bytes survive unpack and pack.
TEST_F(UnpackTest, AForeignArchiveKeepsThePageTableAndThePictureBytes) {
    BookImage image;
    image.font = "font";
    image.archive = "....second....first....";
    for (int slot = 0; slot < 12; ++slot) {
        image.records[static_cast<std::size_t>(slot)] = {" 1",   std::to_string(slot),
                                                         "xyz",  "T",
                                                         "",     "0",
                                                         "0",    "NA",
                                                         "$E1",  "0x10",
                                                         "None", "",
                                                         "0",    "-0",
                                                         "300",  "",
                                                         ""};
    }
    PlacePicture(image.records[0], "14", "5", "jpg");       // "first"
    PlacePicture(image.records[1], "4", "6", "bmp");        // "second"
    PlacePicture(image.records[2], "5", "3", "weird/type"); // "eco", inside "second"
    PlacePicture(image.records[3], "20", "100", "jpg");     // runs past the end
    PlacePicture(image.records[4], "-5", "2", "jpg");
    std::filesystem::create_directories(book_.dir.Path("foreign"));
    WriteBookFiles(image, book_.dir.Path("foreign"));

    Unpack(book_.dir.Path("foreign"), book_.dir.Path("unpacked"));
    EXPECT_NE(notes_.find("kept whole"), std::string::npos) << notes_;
    RunPack(book_.dir.Path("unpacked/book.json"), book_.dir.Path("again"));

    const PageTable before = test::LoadFolder(book_.dir.Path("foreign"), book_.dir.Path("f1"));
    const PageTable after = test::LoadFolder(book_.dir.Path("again"), book_.dir.Path("f2"));
    for (int slot = 1; slot <= 224; ++slot) {
        ASSERT_EQ(before.At(slot), after.At(slot)) << "slot " << slot;
    }
    EXPECT_EQ(after.At(1).MediaHeight, 0xE1);
    EXPECT_EQ(after.At(1).PageKind, 44);
    EXPECT_EQ(ReadFile(book_.dir.Path("foreign/Graphics.dat")),
              ReadFile(book_.dir.Path("again/Graphics.dat")));
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/pictures/slot01.jpg")), "first");
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/pictures/slot02.bmp")), "second");
    EXPECT_EQ(ReadFile(book_.dir.Path("unpacked/pictures/slot03.bin")), "eco");
}

TEST_F(UnpackTest, PicturesInAnotherOrderStillGiveTheSamePictureBytes) {
    // Pack lays pictures out in page order; a hand-made archive in reverse order unpacks into
    // the archive form, and the page table with it stays exact.
    BookImage image;
    image.archive = "BBBBAAA";
    for (std::size_t slot = 0; slot < 12; ++slot) {
        image.records[slot] = {"1",    std::to_string(slot),
                               "",     "",
                               "",     "0",
                               "0",    "NA",
                               "0",    "0",
                               "None", "",
                               "0",    "0",
                               "1",    " ",
                               " "};
    }
    PlacePicture(image.records[0], "4", "3", "jpg");
    PlacePicture(image.records[1], "0", "4", "jpg");
    std::filesystem::create_directories(book_.dir.Path("foreign"));
    WriteBookFiles(image, book_.dir.Path("foreign"));
    Unpack(book_.dir.Path("foreign"), book_.dir.Path("unpacked"));
    RunPack(book_.dir.Path("unpacked/book.json"), book_.dir.Path("again"));
    const PageTable before = test::LoadFolder(book_.dir.Path("foreign"), book_.dir.Path("f1"));
    const PageTable after = test::LoadFolder(book_.dir.Path("again"), book_.dir.Path("f2"));
    EXPECT_EQ(PictureBytes(before, book_.dir.Path("foreign/Graphics.dat")),
              PictureBytes(after, book_.dir.Path("again/Graphics.dat")));
    EXPECT_EQ(before.At(1), after.At(1));
    EXPECT_EQ(before.At(2), after.At(2));
}

// A failed unpack leaves no output folder of its own making.
TEST_F(UnpackTest, AMissingFolderOrDatabaseIsReportedWithItsPath) {
    const std::string empty = book_.dir.Path("empty");
    std::filesystem::create_directory(empty);
    const std::pair<std::string, std::string> cases[] = {
        {book_.dir.Path("nothing"), book_.dir.Path("nothing") + ": no such folder"},
        {empty, empty + "/QVDB.dat: File not found."},
    };
    for (const auto& [folder, message] : cases) {
        try {
            Unpack(folder, book_.dir.Path("unpacked"));
            ADD_FAILURE() << "no error for " << folder;
        } catch (const ToolError& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_FALSE(std::filesystem::exists(book_.dir.Path("unpacked"))) << folder;
    }
}

TEST_F(UnpackTest, AMissingArchiveIsAnErrorOnlyWhenAPageHasAPicture) {
    RunPack(book_.WriteManifest(), book_.dir.Path("first"));
    std::filesystem::remove(book_.dir.Path("first/Graphics.dat"));
    EXPECT_THROW(Unpack(book_.dir.Path("first"), book_.dir.Path("unpacked")), ToolError);

    for (auto& page : book_.manifest["pages"]) {
        page.erase("picture");
        page["PicType"] = "NA";
    }
    RunPack(book_.WriteManifest(), book_.dir.Path("plain"));
    std::filesystem::remove(book_.dir.Path("plain/Graphics.dat"));
    EXPECT_NO_THROW(Unpack(book_.dir.Path("plain"), book_.dir.Path("unpacked2")));
}

} // namespace
} // namespace tavelio::book
