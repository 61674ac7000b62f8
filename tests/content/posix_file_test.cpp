#include "base/errors.h"
#include "base/posix_file.h"
#include "scratch_dir.h"

#include <array>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

using testing::ScratchDir;

TEST(PosixFileTest, DataFilesAreOpenedForReadingOnly) {
    // The write is refused by the descriptor itself, whoever runs the test.
    ScratchDir dir;
    testing::WriteFile(dir.Path("data"), "content");
    PosixFile file = PosixFile::OpenReadOnly(dir.Path("data"));
    const std::array<std::uint8_t, 1> byte{'x'};
    EXPECT_THROW(file.Write(byte), EInOutError);
    file.Close();
    EXPECT_EQ(testing::ReadFile(dir.Path("data")), "content");
}

TEST(PosixFileTest, ReadFillsTheBufferUntilTheEnd) {
    ScratchDir dir;
    testing::WriteFile(dir.Path("data"), "abcde");
    PosixFile file = PosixFile::OpenReadOnly(dir.Path("data"));
    std::array<std::uint8_t, 3> buffer{};
    EXPECT_EQ(file.Read(buffer), 3u);
    EXPECT_EQ(file.Read(buffer), 2u);
    EXPECT_EQ(file.Read(buffer), 0u);
    file.SeekTo(1);
    EXPECT_EQ(file.Read(buffer), 3u);
    EXPECT_EQ(buffer[0], 'b');
    EXPECT_EQ(file.Size(), 5);
}

TEST(PosixFileTest, ReadingAFolderIsAccessDenied) {
    ScratchDir dir;
    PosixFile file = PosixFile::OpenReadOnly(dir.Root().string());
    std::array<std::uint8_t, 3> buffer{};
    try {
        file.Read(buffer);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 5);
    }
}

TEST(PosixFileTest, CreateEmptiesAnExistingFile) {
    ScratchDir dir;
    testing::WriteFile(dir.Path("out"), "old content");
    PosixFile file = PosixFile::Create(dir.Path("out"), 0644);
    const std::array<std::uint8_t, 2> bytes{'n', 'e'};
    file.WriteAll(bytes);
    file.Close();
    EXPECT_EQ(testing::ReadFile(dir.Path("out")), "ne");
}

} // namespace
} // namespace tavelio
