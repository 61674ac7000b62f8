// Book 1's box on the launch pad: the cover of the book in the data folder, or the stored picture
// when the book has no cover that can be shown.
#include "app/program_fixture.h"
#include "launch/book_cover.h"
#include "launch/launch_pictures.h"

#include <QBuffer>
#include <QColor>
#include <filesystem>
#include <optional>
#include <string>

namespace tavelio::test {
namespace {

// A picture of one colour, as a JPEG file holds it.
std::string JpegOf(QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes.toStdString();
}

bool IsRed(QColor colour) {
    return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}

// A cover record whose picture is the whole of the archive.
QVDBType CoverRecord(const std::string& picType, const std::string& picture) {
    QVDBType cover;
    cover.BookNo = 1; // PageNo 0 and PicOffset 0 by default
    cover.PicSize = static_cast<std::int32_t>(picture.size());
    cover.PicType = picType;
    return cover;
}

TEST(ReadBookCoverTest, ReadsTheFirstRecordsPictureWhenItIsTheCover) {
    ScratchDir folder;
    const std::string archive = folder.Path("Graphics.dat");
    const std::string red = JpegOf({40, 30}, Qt::red);
    WriteFile(archive, Encode(red));
    PageTable pages;
    pages.At(PageTable::kFirstSlot) = CoverRecord("JPG", red);
    const QImage cover = ReadBookCover(pages, archive);
    EXPECT_EQ(cover.size(), QSize(40, 30));
    EXPECT_TRUE(IsRed(cover.pixelColor(20, 15)));

    // Each of these is a book without a cover to show, which raises nothing.
    QVDBType notTheCover = CoverRecord("jpg", red);
    notTheCover.PageNo = 1;
    const struct {
        const char* name;
        QVDBType record;
        std::optional<std::string> picture; // the archive's content; none: no archive
    } noCover[] = {
        {"no picture", CoverRecord("NA", red), red},
        {"not a JPEG", CoverRecord("jpg", "not a JPEG"), "not a JPEG"},
        {"first record not the cover", notTheCover, red},
        {"no archive", CoverRecord("jpg", red), std::nullopt},
    };
    for (const auto& c : noCover) {
        std::filesystem::remove(archive);
        if (c.picture) {
            WriteFile(archive, Encode(*c.picture));
        }
        pages.At(PageTable::kFirstSlot) = c.record;
        EXPECT_TRUE(ReadBookCover(pages, archive).isNull()) << c.name;
    }
}

class BookCoverTest : public ProgramFixture {
protected:
    // The data folder's book, whose cover has that picture as the whole picture archive.
    void WriteBook(const std::string& picture) {
        FieldTexts cover = SampleFields(1);
        cover[5] = "0";
        cover[6] = std::to_string(picture.size());
        cover[7] = "jpg";
        std::string records = RecordContent(cover);
        for (int slot = 2; slot <= kDatabaseRecordCount; ++slot) {
            records += RecordContent(SampleFields(slot));
        }
        WriteFile("QVDB.dat", DatabaseBytes(records));
        WriteFile("Graphics.dat", Encode(picture));
    }

    void ShowTheBookView() {
        clock_.Advance(4000); // past the splash
        launch().ShowBookChoice();
    }

    const QImage stored_ = LaunchPicture("cover-ann.jpg");
};

TEST_F(BookCoverTest, TheDataFoldersCoverFillsBookOnesBox) {
    WriteBook(JpegOf({40, 30}, Qt::red));
    StartProgram();
    ShowTheBookView();
    const QImage drawn = launch().grab().toImage();
    EXPECT_TRUE(IsRed(drawn.pixelColor(20 + 1, 52 + 1)));     // the box's top left
    EXPECT_TRUE(IsRed(drawn.pixelColor(20 + 156, 52 + 106))); // and bottom right
    EXPECT_TRUE(Errors().empty());
}

TEST_F(BookCoverTest, ACoverThatComesLaterReplacesTheShownOne) {
    // A registry error stops the start-up work before the book is loaded; the book view can be
    // shown meanwhile, with the stored picture.
    WriteBook(JpegOf({40, 30}, Qt::red));
    WriteInstallationKey("\"MP3\"=\"1\"");
    StartProgram();
    ShowTheBookView();
    EXPECT_EQ(launch().Ann->Picture(), stored_);
    // The next activation loads the book, and its cover.
    WriteInstallationKey("");
    launch().hide();
    launch().show();
    clock_.RunDue();
    const QColor middle = launch().Ann->Picture().pixelColor(158, 108);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);

    // Any is kept at twice the box each way, in the box's proportions, and none brings the
    // stored picture back.
    launch().ShowBookCover(QImage(1600, 90, QImage::Format_RGB32));
    EXPECT_EQ(launch().Ann->Picture().size(), QSize(316, 216));
    launch().ShowBookCover(QImage());
    EXPECT_EQ(launch().Ann->Picture(), stored_);
}

} // namespace
} // namespace tavelio::test
