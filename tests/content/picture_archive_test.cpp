#include "base/errors.h"
#include "content/picture_archive.h"
#include "support/database_builder.h"
#include "support/scratch_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

using test::ScratchDir;

// Content of a 7000-byte archive: byte i is i mod 251, so any offset error shows.
std::string ArchiveContent() {
    std::string content(7000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i % 251);
    }
    return content;
}

class CopyPictureOutTest : public ::testing::Test {
protected:
    CopyPictureOutTest() {
        test::WriteFile(dir_.Path("Graphics.dat"), test::Encode(ArchiveContent()));
    }
    std::string Archive() const { return dir_.Path("Graphics.dat"); }
    std::string Temp() const { return dir_.Path("TempPic.jpg"); }

    int CopyError(std::int32_t offset, std::int32_t size) {
        try {
            (void)CopyPictureOut(Archive(), Temp(), offset, size);
        } catch (const EInOutError& error) {
            return error.ErrorCode();
        }
        return 0;
    }

    ScratchDir dir_;
};

struct BlockCase {
    std::int32_t offset;
    std::int32_t size;
    std::size_t copied; // bytes the temporary file receives
};

class BlockRuleTest : public CopyPictureOutTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockRuleTest, CopiesWholeBlocksDecoded) {
    const BlockCase& c = GetParam();
    ASSERT_EQ(CopyPictureOut(Archive(), Temp(), c.offset, c.size), PictureCopy::Complete);
    EXPECT_EQ(test::ReadFile(Temp()),
              ArchiveContent().substr(static_cast<std::size_t>(c.offset), c.copied));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockRuleTest,
    ::testing::Values(BlockCase{0, 0, 1024},       // size 0 still copies one block
                      BlockCase{100, 1, 1024},     // a picture shorter than a block
                      BlockCase{0, 1023, 1024},    //
                      BlockCase{0, 1024, 2048},    // exactly one kilobyte: two blocks
                      BlockCase{10, 5000, 5120},   // five blocks, past the picture's end
                      BlockCase{5000, 1500, 2000}, // the last block is cut by the archive's end
                      BlockCase{6999, 1, 1},       //
                      BlockCase{7000, 0, 0},       // at the very end nothing more is read
                      BlockCase{1000, 6000, 6000}));

TEST_F(CopyPictureOutTest, OverwritesAnEarlierTemporaryFile) {
    test::WriteFile(Temp(), std::string(9000, 'x'));
    ASSERT_EQ(CopyPictureOut(Archive(), Temp(), 0, 10), PictureCopy::Complete);
    EXPECT_EQ(test::ReadFile(Temp()).size(), 1024u);
}

TEST_F(CopyPictureOutTest, AMissingArchiveIsFileNotFoundAndLeavesTheTemporaryFileAlone) {
    test::WriteFile(Temp(), "earlier");
    std::filesystem::remove(Archive());
    EXPECT_EQ(CopyError(0, 10), 2);
    EXPECT_EQ(test::ReadFile(Temp()), "earlier");
}

TEST_F(CopyPictureOutTest, ATemporaryFolderThatDoesNotExistIsAnInvalidFilename) {
    try {
        (void)CopyPictureOut(Archive(), dir_.Path("gone/TempPic.jpg"), 0, 10);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 3);
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
}

TEST_F(CopyPictureOutTest, OffsetsAndSizesThatNameNoArchiveBytesAreReadBeyondEnd) {
    EXPECT_EQ(CopyError(-1, 10), 100);
    EXPECT_EQ(CopyError(INT32_MIN, 10), 100);
    EXPECT_EQ(CopyError(0, -1), 100);
    EXPECT_EQ(CopyError(0, INT32_MIN), 100);
    EXPECT_EQ(CopyError(7001, 0), 100);
    EXPECT_EQ(CopyError(INT32_MAX, INT32_MAX), 100);
}

TEST_F(CopyPictureOutTest, AHugeSizeCopiesToTheArchivesEndWithoutOverflow) {
    ASSERT_EQ(CopyPictureOut(Archive(), Temp(), 0, INT32_MAX), PictureCopy::Complete);
    EXPECT_EQ(test::ReadFile(Temp()), ArchiveContent());
}

TEST_F(CopyPictureOutTest, AShortWriteIsTheResultNotAnError) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    EXPECT_EQ(CopyPictureOut(Archive(), "/dev/full", 0, 3000), PictureCopy::WriteWentShort);
}

TEST_F(CopyPictureOutTest, ATemporaryFileThatIsALinkIsRefused) {
    test::WriteFile(dir_.Path("target"), "precious");
    std::filesystem::create_symlink(dir_.Path("target"), Temp());
    EXPECT_NE(CopyError(0, 10), 0);
    EXPECT_EQ(test::ReadFile(dir_.Path("target")), "precious");
}

} // namespace
} // namespace tavelio

namespace tavelio {
namespace {

TEST(PictureTempPathTest, JoinsTheTemporaryFolderAndTheExtensionDirectly) {
    EXPECT_EQ(PictureTempPath("/tmp/tavelio/", "jpg"), "/tmp/tavelio/TempPic.jpg");
    EXPECT_EQ(PictureTempPath("/tmp/tavelio/", "NA"), "/tmp/tavelio/TempPic.NA");
    EXPECT_EQ(PictureTempPath("/tmp/tavelio/", ""), "/tmp/tavelio/TempPic.");
    EXPECT_EQ(PictureTempPath("/tmp/tavelio/", "..jpg"), "/tmp/tavelio/TempPic...jpg");
}

TEST(PictureTempPathTest, AnExtensionThatReachesIntoAnotherFolderIsAnInvalidFilename) {
    for (const std::string& picType :
         {std::string("x/../../etc/passwd"), std::string("a\\b"), std::string("jp\0g", 4)}) {
        try {
            (void)PictureTempPath("/tmp/tavelio/", picType);
            ADD_FAILURE() << "accepted " << picType;
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), 3);
        }
    }
}

} // namespace
} // namespace tavelio
