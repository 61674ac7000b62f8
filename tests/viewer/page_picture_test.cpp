// ShowPagePicture's own rules; the block copy it rests on is CopyPictureOut's (tests/content).
#include "platform/pictures/picture_loader.h"
#include "viewer/page_picture.h"
#include "viewer_fixture.h"

#include <gmock/gmock.h>

namespace tavelio::test {
namespace {

using ::testing::HasSubstr;

// The copy and deletion as on disk, except where the test makes the medium full or the file stay.
class FakePictureFiles final : public PictureFiles {
public:
    bool writeGoesShort = false;
    bool deletionFails = false;
    std::vector<std::string> deleted;

    PictureCopy CopyOut(const std::string& tempPath, std::int32_t picOffset,
                        std::int32_t picSize) override {
        const PictureCopy copy = CopyPictureOut("Graphics.dat", tempPath, picOffset, picSize);
        return writeGoesShort ? PictureCopy::WriteWentShort : copy;
    }
    bool Delete(const std::string& path) override {
        if (deletionFails) {
            return false;
        }
        deleted.push_back(path);
        return std::filesystem::remove(path);
    }
};

class ShowPagePictureTest : public ViewerFixture {
protected:
    ShowPagePictureTest() {
        WriteArchive({{1, PictureBytes(40, 30, Qt::red, "BMP"), "bmp"},
                      {2, PictureBytes(50, 20, Qt::blue, "BMP"), "bmp"},
                      {3, "this is no picture at all", "jpg"},
                      {4, PictureBytes(8, 8, Qt::green, "BMP"), "na"}});
    }

    QSize Shown() const { return view_.BackGround->Picture().size(); }
    bool ErrorShown() const { return view_.ErrorLabel->OwnVisible(); }

    // The error that showing the picture of slot raises, or "" when it raises none.
    std::string ErrorOf(std::uint8_t slot) {
        try {
            ShowPagePicture(viewer_, slot);
        } catch (const Error& error) {
            return error.what();
        }
        return {};
    }

    FakePictureFiles files_;
};

TEST_F(ShowPagePictureTest, LoadsThePictureDeletesTheTemporaryFileAndHidesAnEarlierError) {
    view_.ErrorLabel->SetVisible(true);
    ShowPagePicture(viewer_, 1);
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_FALSE(ErrorShown());
    EXPECT_FALSE(std::filesystem::exists(TempPath("bmp")));
    // The next page with the same extension uses the same file name.
    ShowPagePicture(viewer_, 2, files_);
    EXPECT_EQ(Shown(), QSize(50, 20));
    EXPECT_EQ(files_.deleted, std::vector<std::string>{TempPath("bmp")});
}

TEST_F(ShowPagePictureTest, OnlyACapitalNAMeansNoPicture) {
    ShowPagePicture(viewer_, 1);
    view_.ErrorLabel->SetCaption("earlier");
    view_.ErrorLabel->SetVisible(true);
    Page(5).PicType = "NA";
    std::filesystem::remove(folder_.Path("Graphics.dat")); // not even looked for
    ShowPagePicture(viewer_, 5);
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(view_.ErrorLabel->Caption(), "earlier");

    // "na" is an extension, and no picture kind has it.
    WriteArchive({{1, PictureBytes(40, 30, Qt::red, "BMP"), "bmp"},
                  {4, PictureBytes(8, 8, Qt::green, "BMP"), "na"}});
    EXPECT_EQ(ErrorOf(4), "Unknown picture file extension (.na)");
    EXPECT_FALSE(ErrorShown());
    EXPECT_EQ(Shown(), QSize(40, 30));
}

TEST_F(ShowPagePictureTest, ALoaderErrorKeepsTheEarlierPictureAndLeavesTheTemporaryFile) {
    ShowPagePicture(viewer_, 1);
    EXPECT_THAT(ErrorOf(3), HasSubstr("JPEG error #"));
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_TRUE(std::filesystem::exists(TempPath("jpg")));
    EXPECT_FALSE(ErrorShown());
}

TEST_F(ShowPagePictureTest, AMissingArchiveIsRaisedBeforeTheTemporaryFileIsMade) {
    std::filesystem::remove(folder_.Path("Graphics.dat"));
    EXPECT_EQ(ErrorOf(1), "File not found");
    EXPECT_FALSE(std::filesystem::exists(TempPath("bmp")));
}

TEST_F(ShowPagePictureTest, AShortWriteIsShownInErrorLabelAndNothingIsLoaded) {
    ShowPagePicture(viewer_, 1);
    files_.writeGoesShort = true;
    ShowPagePicture(viewer_, 2, files_);
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(view_.ErrorLabel->Caption(), "Error writing Temp File " + TempPath("bmp"));
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_EQ(files_.deleted, std::vector<std::string>{TempPath("bmp")});
}

TEST_F(ShowPagePictureTest, AFailedDeletionIsShownInErrorLabelAndWinsOverAShortWrite) {
    files_.deletionFails = true;
    ShowPagePicture(viewer_, 1, files_);
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(view_.ErrorLabel->Caption(), "Error deleting Temp File " + TempPath("bmp"));

    files_.writeGoesShort = true;
    ShowPagePicture(viewer_, 2, files_);
    EXPECT_EQ(Shown(), QSize(40, 30));
    EXPECT_EQ(view_.ErrorLabel->Caption(), "Error deleting Temp File " + TempPath("bmp"));
    // The next page's picture starts with the label hidden again.
    files_ = FakePictureFiles();
    ShowPagePicture(viewer_, 2, files_);
    EXPECT_FALSE(ErrorShown());
}

} // namespace
} // namespace tavelio::test
