#include "base/errors.h"
#include "base/posix_file.h"
#include "support/scratch_dir.h"

#include <array>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tavelio {
namespace {

using test::ScratchDir;

TEST(PosixFileTest, DataFilesAreOpenedForReadingOnly) {
    // The write is refused by the descriptor itself, whoever runs the test.
    ScratchDir dir;
    test::WriteFile(dir.Path("data"), "content");
    PosixFile file = PosixFile::OpenReadOnly(dir.Path("data"));
    const std::array<std::uint8_t, 1> byte{'x'};
    EXPECT_THROW(file.Write(byte), EInOutError);
    file.Close();
    EXPECT_EQ(test::ReadFile(dir.Path("data")), "content");
}

TEST(PosixFileTest, ReadFillsTheBufferUntilTheEnd) {
    ScratchDir dir;
    test::WriteFile(dir.Path("data"), "abcde");
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
    test::WriteFile(dir.Path("out"), "old content");
    PosixFile file = PosixFile::Create(dir.Path("out"), 0644);
    const std::array<std::uint8_t, 2> bytes{'n', 'e'};
    file.WriteAll(bytes);
    file.Close();
    EXPECT_EQ(test::ReadFile(dir.Path("out")), "ne");
}

// Larger than one read and not a multiple of its size, so the last short read ends the file.
TEST(WholeFileTest, WritesAndReadsEveryByte) {
    ScratchDir dir;
    std::string bytes(200'003, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 31 % 251);
    }
    WriteWholeFile(dir.Path("big"), bytes);
    EXPECT_EQ(test::ReadFile(dir.Path("big")), bytes);
    EXPECT_EQ(ReadWholeFile(dir.Path("big")), bytes);
    WriteWholeFile(dir.Path("big"), "");
    EXPECT_EQ(ReadWholeFile(dir.Path("big")), "");
}

TEST(WholeFileTest, AFileThatCannotBeReadRaisesOrIsAnAnswer) {
    ScratchDir dir;
    int error = 0;
    EXPECT_EQ(ReadWholeFileIfPossible(dir.Path("missing"), error), std::nullopt);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(ReadWholeFileIfPossible(dir.Root().string(), error), std::nullopt);
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(PosixFile::OpenReadOnlyIfPossible(dir.Path("missing"), error).has_value());
    EXPECT_EQ(error, ENOENT);
    try {
        ReadWholeFile(dir.Path("missing"));
        FAIL() << "no error";
    } catch (const EInOutError& raised) {
        EXPECT_EQ(raised.ErrorCode(), 2);
    }
}

} // namespace
} // namespace tavelio
