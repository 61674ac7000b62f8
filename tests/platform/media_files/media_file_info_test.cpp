#include "platform/media_files/media_file_info.h"
#include "support/media_test_files.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tavelio {
namespace {

using namespace testing_media;

class MediaFileInfoTest : public testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return folder_.filePath(QString::fromStdString(name)).toStdString();
    }
    QTemporaryDir folder_;
};

TEST_F(MediaFileInfoTest, KindAndLengthComeFromTheHeaders) {
    WriteToneWav(Path("mono.wav"), 4000, 8000);
    WriteWav(Path("stereo.wav"), 44100, 2, std::vector<std::int16_t>(44100 * 2 * 3 / 2));
    WriteAviHeaders(Path("clip.avi"), 66666, 30);
    WriteAviHeaders(Path("unknown.avi"), 66666, 0);
    WriteMp3Headers(Path("lame.mp3"), 100, 576, 1000, 3);
    WriteMp3Headers(Path("plain.mp3"), 0, 0, 0, 50);
    WriteText(Path("notes.txt"), "RIFF is a word in this text, but this is no media file.\n");
    const struct {
        const char* name;
        MediaFileKind kind;
        std::optional<std::int64_t> lengthMs;
    } cases[] = {
        {"mono.wav", MediaFileKind::Wav, 4000},
        {"stereo.wav", MediaFileKind::Wav, 1500},
        {"clip.avi", MediaFileKind::Avi, 1999},
        {"unknown.avi", MediaFileKind::Avi, std::nullopt},
        // (100 frames x 1152 - 576 - 1000) samples at 44.1 kHz
        {"lame.mp3", MediaFileKind::Mp3, 2576},
        // 50 frames x 1152 samples, counted
        {"plain.mp3", MediaFileKind::Mp3, 1306},
        {"notes.txt", MediaFileKind::Other, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto info = ReadMediaFileInfo(Path(c.name));
        ASSERT_TRUE(info) << c.name;
        EXPECT_EQ(info->kind, c.kind) << c.name;
        EXPECT_EQ(info->lengthMs, c.lengthMs) << c.name;
    }
}

TEST_F(MediaFileInfoTest, LameHeaderGivesDelayAndPadding) {
    WriteMp3Headers(Path("lame.mp3"), 100, 576, 1234, 3);
    const auto info = ReadMediaFileInfo(Path("lame.mp3"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->sampleRate, 44100);
    EXPECT_EQ(info->encoderDelay, 576);
    EXPECT_EQ(info->encoderPadding, 1234);

    EXPECT_EQ(info->encoderName, "LAME3.100");

    WriteMp3Headers(Path("lavc.mp3"), 100, 1105, 0, 3, "Lavc59.37");
    EXPECT_EQ(ReadMediaFileInfo(Path("lavc.mp3"))->encoderName, "Lavc59.37");

    // A Xing frame without tag (as xingmux writes it) records no delay: zeros are not a tag.
    WriteMp3Headers(Path("xing.mp3"), 100, 0, 0, 3, "");
    const auto xing = ReadMediaFileInfo(Path("xing.mp3"));
    EXPECT_FALSE(xing->encoderDelay);
    EXPECT_EQ(xing->encoderName, "");
    EXPECT_EQ(xing->lengthMs, 2612); // 100 x 1152 samples

    WriteMp3Headers(Path("plain.mp3"), 0, 0, 0, 5);
    EXPECT_FALSE(ReadMediaFileInfo(Path("plain.mp3"))->encoderDelay);
}

TEST_F(MediaFileInfoTest, Id3TagIsSkipped) {
    WriteMp3Headers(Path("plain.mp3"), 0, 0, 0, 50);
    std::ifstream in(Path("plain.mp3"), std::ios::binary);
    std::stringstream frames;
    frames << in.rdbuf();
    // ID3v2.4 with 300 bytes of tag (syncsafe size 0x02 0x2C)
    std::string tagged = std::string("ID3\x04\x00\x00\x00\x00\x02\x2C", 10) + std::string(300, 'x');
    WriteText(Path("tagged.mp3"), tagged + frames.str());
    const auto info = ReadMediaFileInfo(Path("tagged.mp3"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->kind, MediaFileKind::Mp3);
    EXPECT_EQ(info->lengthMs, 1306);
}

TEST_F(MediaFileInfoTest, CutOrBrokenHeadersNeverReadPastTheFile) {
    WriteToneWav(Path("whole.wav"), 1000, 8000);
    std::ifstream in(Path("whole.wav"), std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    // Data cut to half: the length is what the file still holds.
    WriteText(Path("cut.wav"), whole.str().substr(0, 44 + 8000));
    EXPECT_EQ(ReadMediaFileInfo(Path("cut.wav"))->lengthMs, 500);
    // Every shorter prefix reads without harm; none claims more than the file holds.
    for (std::size_t size = 0; size < 60; ++size) {
        WriteText(Path("prefix.wav"), whole.str().substr(0, size));
        const auto info = ReadMediaFileInfo(Path("prefix.wav"));
        ASSERT_TRUE(info);
        EXPECT_LE(info->lengthMs.value_or(0), 1) << size;
    }
    // A zero byte rate is no WAV.
    std::string zeroRate = whole.str();
    zeroRate.replace(28, 4, std::string(4, '\0'));
    WriteText(Path("zero.wav"), zeroRate);
    EXPECT_EQ(ReadMediaFileInfo(Path("zero.wav"))->kind, MediaFileKind::Other);
}

TEST_F(MediaFileInfoTest, UnreadableFilesGiveNothing) {
    EXPECT_FALSE(ReadMediaFileInfo(Path("missing.wav")));
    EXPECT_FALSE(ReadMediaFileInfo(folder_.path().toStdString()));
}

} // namespace
} // namespace tavelio
