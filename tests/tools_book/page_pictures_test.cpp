// How make fits an author's picture to its page: kept, shrunk, cropped a little or letterboxed.
#include "book/page_pictures.h"
#include "book/tool_error.h"
#include "support/scratch_dir.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

namespace tavelio::book {
namespace {

class PagePicturesTest : public ::testing::Test {
protected:
    PagePicturesTest() { source_.file = "book.json"; }

    // A picture of one colour, with the given size, saved in the given format.
    std::filesystem::path Picture(const std::string& name, QSize size) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(40, 90, 200));
        const std::string path = dir_.Path(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }

    PagePicture Make(const std::filesystem::path& picture, std::int8_t kind) {
        SourcePage page;
        page.pageNo = 1;
        page.pageKind = kind;
        page.picture = picture;
        return MakePagePicture(source_, page, dir_.Root());
    }

    static bool IsWhite(const QImage& image, int x, int y) {
        return image.pixelColor(x, y).lightness() > 245;
    }

    test::ScratchDir dir_;
    BookSource source_;
};

TEST_F(PagePicturesTest, APicturePageKeepsThePicturesProportionsShrunkToTheWindow) {
    const PagePicture made = Make(Picture("photo.png", {4032, 3024}), 0);
    // Drawn 4 pixels larger than its media size: 570 x 427, the room the window leaves.
    EXPECT_EQ(made.mediaWidth, 566);
    EXPECT_EQ(made.mediaHeight, 423);
    EXPECT_EQ(QImage(QString::fromStdString(made.file.string())).size(), QSize(570, 427));

    const auto fitting = Picture("small.bmp", {300, 200});
    EXPECT_EQ(Make(fitting, 0).file, fitting) << "a shown format at its own size is kept";
}

TEST_F(PagePicturesTest, TheFramedPictureIsCroppedALittleOrLetterboxed) {
    const QImage cropped(
        QString::fromStdString(Make(Picture("landscape.png", {4032, 3024}), 1).file.string()));
    ASSERT_EQ(cropped.size(), QSize(315, 225));
    EXPECT_FALSE(IsWhite(cropped, 0, 0)) << "a 4:3 photo loses a twentieth of its height";

    const QImage letterboxed(
        QString::fromStdString(Make(Picture("portrait.png", {3024, 4032}), 2).file.string()));
    ASSERT_EQ(letterboxed.size(), QSize(315, 225));
    EXPECT_TRUE(IsWhite(letterboxed, 2, 112)) << "a portrait would lose half its height";
    EXPECT_FALSE(IsWhite(letterboxed, 157, 112));
}

TEST_F(PagePicturesTest, RefusesAFileThatIsNoPicture) {
    test::WriteFile(dir_.Path("notes.png"), "not a picture");
    EXPECT_THROW(Make(dir_.Path("notes.png"), 1), ToolError);
    test::WriteFile(dir_.Path("photo.tif"), "II*");
    EXPECT_THROW(Make(dir_.Path("photo.tif"), 1), ToolError) << "not a format make reads";
}

} // namespace
} // namespace tavelio::book
