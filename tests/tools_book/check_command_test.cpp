#include "book/check_command.h"
#include "book/pack_command.h"
#include "support/scratch_dir.h"

#include <QBuffer>
#include <QImage>
#include <cstddef>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tavelio::book {
namespace {

using test::ScratchDir;
using test::WriteFile;
using Json = nlohmann::json;

std::string PictureBytes(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        throw std::runtime_error(std::string("cannot write a ") + format + " picture");
    }
    return bytes.toStdString();
}

// A PCM WAV file of silence: 8-bit mono at 1000 samples a second, so each byte is 1 ms.
std::string WavBytes(int lengthMs) {
    auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    };
    auto le16 = [](std::uint16_t v) {
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    };
    const auto size = static_cast<std::uint32_t>(lengthMs);
    return "RIFF" + le32(36 + size) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) + le32(1000) +
           le32(1000) + le16(1) + le16(8) + "data" + le32(size) + std::string(size, '\x80');
}

// A book that passes: twelve pages of book 1 with JPEG and BMP pictures, an animation, 12 s of
// narration, and scripts of every mode (a read-through on the story page, rhymes, and arrows
// handing over to rhymes and to a read-through).
class CheckTest : public ::testing::Test {
protected:
    CheckTest() {
        WriteFile(dir_.Path("font.ttf"), std::string(1000, 'F'));
        WriteFile(dir_.Path("cover.jpg"), PictureBytes(315, 225, "JPG"));
        WriteFile(dir_.Path("page.bmp"), PictureBytes(42, 30, "BMP"));
        manifest_["font"] = "font.ttf";
        for (int pageNo = 0; pageNo < 12; ++pageNo) {
            Json page = {{"BookNo", 1},
                         {"PageNo", pageNo},
                         {"PageKind", pageNo == 0 ? 0 : 1},
                         {"picture", pageNo % 2 == 0 ? "cover.jpg" : "page.bmp"},
                         {"MediaHeight", 225},
                         {"MediaWidth", 315},
                         {"AniFile", "None"},
                         {"SpeechStart", pageNo * 1000},
                         {"SpeechEnd", pageNo * 1000 + 900},
                         {"ScriptText", " "}};
            manifest_["pages"].push_back(page);
        }
        Page(3)["AniFile"] = "clip.avi";
        Page(8)["ScriptText"] = {"1",    "500",  "1000", "1000", "1000",
                                 "1000", "1000", "1000", "1000", "1000"};
        Page(2)["ScriptText"] = {"2", "700", "feed", "weed", "seed"};
        Page(4)["ScriptText"] = {"3",   "1000", "1",   "200", "1500", "0",
                                 "300", "5",    "800", "cat", "hat",  "bat"};
        // A hand-over to a read-through steps through the pictures of slots CurPage - 8 + k, which
        // are all pages of the book only from page 7 on.
        Page(7)["ScriptText"] = {"3",   "1000", "2",   "350", "1500", "9",   "100", "200", "4",
                                 "100", "200",  "300", "400", "500",  "600", "700", "800"};
    }

    Json& Page(std::size_t pageNo) { return manifest_["pages"][pageNo]; }

    // Packs the manifest into the data folder, adds the media files and runs the check.
    int Check() {
        WriteFile(dir_.Path("book.json"), manifest_.dump());
        RunPack(dir_.Path("book.json"), dir_.Path("data"));
        WriteFile(dir_.Path("data/A1Speach.wav"), WavBytes(12000));
        WriteFile(dir_.Path("data/clip.avi"), "RIFF");
        if (breakFiles_) {
            breakFiles_(dir_);
        }
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCheck(dir_.Path("data"), out, err);
        output_ = err.str();
        closingLine_ = out.str();
        return status;
    }

    ScratchDir dir_;
    Json manifest_;
    std::function<void(ScratchDir&)> breakFiles_;
    std::string output_;      // the problems
    std::string closingLine_; // what was checked and how it went
};

TEST_F(CheckTest, ASoundBookPasses) {
    EXPECT_EQ(Check(), 0) << output_;
    EXPECT_EQ(output_, "");
    EXPECT_EQ(closingLine_, dir_.Path("data") +
                                ": the book is ready: its pages, pictures, clips, narration and "
                                "page scripts were all checked and found sound\n");
}

TEST_F(CheckTest, MediaFilesAreFoundWithoutRegardToCase) {
    breakFiles_ = [](ScratchDir& dir) {
        std::filesystem::rename(dir.Path("data/A1Speach.wav"), dir.Path("data/a1speach.WAV"));
        std::filesystem::rename(dir.Path("data/clip.avi"), dir.Path("data/Clip.AVI"));
    };
    EXPECT_EQ(Check(), 0) << output_;
}

TEST_F(CheckTest, AnMp3BesideTheWavIsCheckedWhenItIsThere) {
    breakFiles_ = [](ScratchDir& dir) { WriteFile(dir.Path("data/A1Speach.mp3"), "not audio"); };
    EXPECT_EQ(Check(), 1);
    EXPECT_NE(output_.find("/data/A1Speach.mp3: its length cannot be read: not an MP3 file"),
              std::string::npos)
        << output_;
}

// Each kind of problem, made in a broken copy of the sound book, is found and named.
struct Breakage {
    std::string name;
    std::function<void(Json&)> breakManifest;
    std::function<void(ScratchDir&)> breakFiles;
    std::string expected; // one line of the report, or a part of it
};

void PrintTo(const Breakage& breakage, std::ostream* out) {
    *out << breakage.name;
}

class CheckFindsTest : public CheckTest, public ::testing::WithParamInterface<Breakage> {};

TEST_P(CheckFindsTest, ReportsTheProblemAndFails) {
    if (GetParam().breakManifest) {
        GetParam().breakManifest(manifest_);
    }
    breakFiles_ = GetParam().breakFiles;
    EXPECT_EQ(Check(), 1) << output_;
    EXPECT_NE(output_.find(GetParam().expected), std::string::npos) << output_;
    EXPECT_TRUE(closingLine_.starts_with(dir_.Path("data") + ": ")) << closingLine_;
}

Json& P(Json& manifest, std::size_t pageNo) {
    return manifest["pages"][pageNo];
}

void RemoveFile(ScratchDir& dir, const char* name) {
    std::filesystem::remove(dir.Path(name));
}

INSTANTIATE_TEST_SUITE_P(
    Problems, CheckFindsTest,
    ::testing::Values(
        Breakage{"MissingDatabase", nullptr, [](ScratchDir& d) { RemoveFile(d, "data/QVDB.dat"); },
                 "/data/QVDB.dat: File not found.\n"},
        Breakage{"ShortDatabase", nullptr,
                 [](ScratchDir& d) {
                     const std::string bytes = test::ReadFile(d.Path("data/QVDB.dat"));
                     WriteFile(d.Path("data/QVDB.dat"), bytes.substr(0, bytes.size() - 5));
                 },
                 "/data/QVDB.dat: Read beyond end of file.\n"},
        Breakage{"BookSplit",
                 [](Json& m) {
                     for (std::size_t p = 4; p < 8; ++p) {
                         P(m, p)["BookNo"] = 2;
                     }
                     P(m, 4)["PageNo"] = 0;
                     P(m, 8)["PageNo"] = 5;
                 },
                 nullptr, "slot 9 (page 5), BookNo: book 1 goes on here after another book"},
        Breakage{"OtherBookWithoutNarration",
                 [](Json& m) {
                     P(m, 7)["BookNo"] = 3;
                 },
                 nullptr, "slot 8 (page 7), BookNo: book 3 has no narration file"},
        Breakage{"NoCover",
                 [](Json& m) {
                     P(m, 0)["PageNo"] = 1;
                 },
                 nullptr,
                 "slot 1 (page 1), PageNo: book 1 begins with page 1; it must begin with its "
                 "cover, page 0"},
        Breakage{"PagesNotRising",
                 [](Json& m) {
                     P(m, 5)["PageNo"] = 6;
                 },
                 nullptr, "slot 6 (page 6), PageNo: 6 follows page 4; pages must rise by one"},
        Breakage{"LastPageNotEleven",
                 [](Json& m) {
                     P(m, 11)["PageNo"] = 10;
                 },
                 nullptr,
                 "slot 12 (page 10), PageNo: book 1 ends with page 10; its last page must be "
                 "page 11 (story page 8 + 3)"},
        Breakage{"PageOneNotRuled",
                 [](Json& m) {
                     P(m, 1)["PageKind"] = 4;
                 },
                 nullptr, "slot 2 (page 1), PageKind: page 1 must be a ruled-line page"},
        Breakage{"UnknownPageKind",
                 [](Json& m) {
                     P(m, 6)["PageKind"] = 7;
                 },
                 nullptr, "slot 7 (page 6), PageKind: 7 is not a layout kind (0 to 6)"},
        Breakage{"BrokenJpeg", nullptr,
                 [](ScratchDir& d) {
                     // Overwrite the start of the archive (the cover's JPEG) with zeros.
                     std::string bytes = test::ReadFile(d.Path("data/Graphics.dat"));
                     bytes.replace(0, 64, std::string(64, '\0'));
                     WriteFile(d.Path("data/Graphics.dat"), bytes);
                 },
                 "slot 1 (page 0), picture: JPEG error #"},
        Breakage{"BrokenBitmap", nullptr,
                 [](ScratchDir& d) {
                     std::string bytes = test::ReadFile(d.Path("data/Graphics.dat"));
                     const auto bmp = bytes.size() - PictureBytes(42, 30, "BMP").size();
                     bytes.replace(bmp, 2, "\0\0", 2);
                     WriteFile(d.Path("data/Graphics.dat"), bytes);
                 },
                 "slot 2 (page 1), picture: Bitmap image is not valid."},
        Breakage{"DistortedPicture",
                 [](Json& m) {
                     P(m, 0)["MediaHeight"] = 300;
                 },
                 nullptr,
                 "slot 1 (page 0), picture: 315 x 225 pixels, shown stretched to 319 x 304 "
                 "(MediaWidth and MediaHeight set the box here): its proportions change by 33 %"},
        Breakage{"RuledLineTooWide",
                 [](Json& m) {
                     P(m, 1)["PageText"] = {
                         "Ann has a seed and a pot and a hat and a cat on a mat in the sun"};
                 },
                 nullptr,
                 "slot 2 (page 1), PageText: line 1 \"Ann has a seed and a pot and a hat and a "
                 "cat on a mat in the sun\" is wider than a ruled line (497 pixels) in the "
                 "handwriting font: the reader shows only \"Ann has"},
        Breakage{"UnknownPictureKind",
                 [](Json& m) {
                     P(m, 2)["PicType"] = "png";
                 },
                 nullptr, "slot 3 (page 2), picture: Unknown picture file extension (.png)"},
        Breakage{"PictureBeyondArchive",
                 [](Json& m) {
                     P(m, 6).erase("picture");
                     P(m, 6)["PicType"] = "jpg";
                     P(m, 6)["PicOffset"] = 100;
                     P(m, 6)["PicSize"] = 1000000;
                 },
                 nullptr, "slot 7 (page 6), PicSize: the picture runs"},
        Breakage{"PicTypeLeavesTheFolder",
                 [](Json& m) {
                     P(m, 6)["PicType"] = "x/y";
                 },
                 nullptr, "slot 7 (page 6), picture: Invalid filename."},
        Breakage{"MissingArchive", nullptr,
                 [](ScratchDir& d) { RemoveFile(d, "data/Graphics.dat"); },
                 "/data/Graphics.dat: File not found.\n"},
        Breakage{"MissingAnimation",
                 [](Json& m) {
                     P(m, 3)["AniFile"] = "gone.avi";
                 },
                 nullptr, "slot 4 (page 3), AniFile: \".\\gone.avi\" not found"},
        Breakage{"MissingNarration", nullptr,
                 [](ScratchDir& d) { RemoveFile(d, "data/A1Speach.wav"); },
                 "/data/A1Speach.wav: narration file \".\\A1Speach.wav\" not found"},
        Breakage{"NarrationNotAWav", nullptr,
                 [](ScratchDir& d) { WriteFile(d.Path("data/A1Speach.wav"), "noise"); },
                 "/data/A1Speach.wav: its length cannot be read: not a WAV file"},
        Breakage{"StretchPastTheEnd",
                 [](Json& m) {
                     P(m, 11)["SpeechEnd"] = 12001;
                 },
                 nullptr,
                 "slot 12 (page 11), SpeechEnd: 12001 ms lies past the end of A1Speach.wav "
                 "(12000 ms)"},
        Breakage{"ReversedStretch",
                 [](Json& m) {
                     P(m, 5)["SpeechEnd"] = 4000;
                 },
                 nullptr, "slot 6 (page 5), SpeechEnd: the stretch 5000 to 4000 ms is reversed"},
        Breakage{"EmptyStretch",
                 [](Json& m) {
                     P(m, 5)["SpeechEnd"] = 5000;
                 },
                 nullptr,
                 "slot 6 (page 5), SpeechEnd: the stretch 5000 to 5000 ms is empty: the narrator "
                 "says nothing on this page"},
        Breakage{"NegativeStart",
                 [](Json& m) {
                     P(m, 0)["SpeechStart"] = -5;
                 },
                 nullptr, "slot 1 (page 0), SpeechStart: -5 ms lies before the narration's start"},
        Breakage{"UnknownMode",
                 [](Json& m) {
                     P(m, 7)["ScriptText"] = {"7", "100"};
                 },
                 nullptr, "slot 8 (page 7), ScriptText: line 0 \"7\" is not a script mode"},
        Breakage{"TextForAMode",
                 [](Json& m) {
                     P(m, 7)["ScriptText"] = "arrows";
                 },
                 nullptr, "ScriptText: line 0 (the script mode) \"arrows\" is not a number"},
        Breakage{"ReadThroughShortOfDelays",
                 [](Json& m) {
                     P(m, 8)["ScriptText"] = {"1", "500", "1000", "1000", "1000", "1000", "1000"};
                 },
                 nullptr, "slot 9 (page 8), ScriptText: line 7 (delay after step 6) is missing"},
        Breakage{"DelayNotANumber",
                 [](Json& m) {
                     P(m, 2)["ScriptText"] = {"2", "7oo", "feed", "weed", "seed"};
                 },
                 nullptr,
                 "slot 3 (page 2), ScriptText: line 1 (delay before the rhymes) \"7oo\" is not a "
                 "number"},
        Breakage{"ZeroDelay",
                 [](Json& m) {
                     P(m, 2)["ScriptText"] = {"2", "0", "feed", "weed", "seed"};
                 },
                 nullptr, "line 1 (delay before the rhymes) is 0; a delay must be above 0 ms"},
        Breakage{"RhymeWordMissing",
                 [](Json& m) {
                     P(m, 2)["ScriptText"] = {"2", "700", "feed", "weed"};
                 },
                 nullptr, "slot 3 (page 2), ScriptText: line 4 (rhyme word 3) is missing"},
        Breakage{"ArrowWithoutDelay",
                 [](Json& m) {
                     P(m, 4)["ScriptText"] = {"3", "1000", "1", "200"};
                 },
                 nullptr,
                 "slot 5 (page 4), ScriptText: line 4 (delay of the arrow instruction at line 2) "
                 "is missing"},
        Breakage{"ArrowHandOverShortOfDelays",
                 [](Json& m) {
                     P(m, 7)["ScriptText"] = {"3", "1000", "4", "100", "200"};
                 },
                 nullptr, "line 5 (delay after step 2) is missing"},
        Breakage{"ReadThroughOutsideTheTable",
                 [](Json& m) {
                     P(m, 1)["ScriptText"] = {"1", "100", "100"};
                 },
                 nullptr,
                 "slot 2 (page 1), ScriptText: read-through step 1 would show slot 251, outside "
                 "the page table (1 to 224)"},
        Breakage{"ReadThroughOntoAnEmptySlot",
                 [](Json& m) {
                     Json lines = {"1"};
                     for (int i = 0; i < 12; ++i) {
                         lines.push_back("100");
                     }
                     P(m, 11)["ScriptText"] = lines;
                 },
                 nullptr,
                 "slot 12 (page 11), ScriptText: read-through step 9 would show slot 13, which "
                 "holds no page"}),
    [](const ::testing::TestParamInfo<Breakage>& breakage) { return breakage.param.name; });

} // namespace
} // namespace tavelio::book
