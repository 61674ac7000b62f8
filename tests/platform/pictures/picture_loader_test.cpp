#include "base/errors.h"
#include "platform/pictures/picture_loader.h"
#include "platform/pictures/test_metafiles.h"
#include "support/scratch_dir.h"

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jerror.h>
#include <jpeglib.h>
#include <ostream>
#include <string>
#include <vector>

namespace tavelio {
namespace {

using tavelio::test::QuartersMetafile;
using tavelio::test::ScratchDir;
using tavelio::test::WriteFile;

// A 16 x 8 test picture: four flat quarters, red, green, blue and white, so that colours survive
// JPEG compression well enough to be told apart (test_metafiles.h has it as metafiles).
QImage Quarters() {
    QImage image(16, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool right = x >= 8;
            const bool bottom = y >= 4;
            image.setPixel(x, y,
                           !bottom ? (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0))
                                   : (right ? qRgb(255, 255, 255) : qRgb(0, 0, 255)));
        }
    }
    return image;
}

// True when the picture shows the four quarters (allowing for JPEG's losses) at their centres.
::testing::AssertionResult ShowsQuarters(const QImage& image) {
    if (image.size() != QSize(16, 8)) {
        return ::testing::AssertionFailure() << "size " << image.width() << "x" << image.height();
    }
    const struct {
        int x, y;
        QRgb colour;
    } probes[] = {{3, 1, qRgb(255, 0, 0)},
                  {12, 1, qRgb(0, 255, 0)},
                  {3, 6, qRgb(0, 0, 255)},
                  {12, 6, qRgb(255, 255, 255)}};
    for (const auto& probe : probes) {
        const QRgb got = image.pixel(probe.x, probe.y);
        if (std::abs(qRed(got) - qRed(probe.colour)) > 40 ||
            std::abs(qGreen(got) - qGreen(probe.colour)) > 40 ||
            std::abs(qBlue(got) - qBlue(probe.colour)) > 40 || qAlpha(got) != 255) {
            return ::testing::AssertionFailure()
                   << "pixel " << probe.x << "," << probe.y << " is " << std::hex << got;
        }
    }
    return ::testing::AssertionSuccess();
}

enum class JpegKind { Rgb, Grey, Progressive, AdobeCmyk, AdobeYcck, PlainCmyk };

// Compresses the quarters with libjpeg itself, in colour spaces Qt's writer can't produce.
std::string CompressQuarters(JpegKind kind) {
    const QImage image = Quarters();
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = 16;
    cinfo.image_height = 8;
    const bool cmyk =
        kind == JpegKind::AdobeCmyk || kind == JpegKind::AdobeYcck || kind == JpegKind::PlainCmyk;
    cinfo.input_components = kind == JpegKind::Grey ? 1 : (cmyk ? 4 : 3);
    cinfo.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (kind == JpegKind::Progressive) {
        jpeg_simple_progression(&cinfo);
    }
    if (kind == JpegKind::AdobeYcck) {
        jpeg_set_colorspace(&cinfo, JCS_YCCK); // stored as YCCK, read back as inverted CMYK
    }
    if (kind == JpegKind::PlainCmyk) {
        cinfo.write_Adobe_marker = FALSE; // CMYK stored as ink amounts, not inverted
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(16 * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        unsigned char* sample = row.data(); // the row's samples, packed pixel after pixel
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = image.pixel(x, static_cast<int>(cinfo.next_scanline));
            const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
            if (kind == JpegKind::Grey) {
                *sample++ = static_cast<unsigned char>(qGray(pixel));
            } else if (cmyk) {
                // Pure colours need no black: ink C = 255 - R and so on.
                for (const int ink : {255 - r, 255 - g, 255 - b, 0}) {
                    *sample++ =
                        static_cast<unsigned char>(kind == JpegKind::PlainCmyk ? ink : 255 - ink);
                }
            } else {
                *sample++ = static_cast<unsigned char>(r);
                *sample++ = static_cast<unsigned char>(g);
                *sample++ = static_cast<unsigned char>(b);
            }
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

std::string Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes.toStdString();
}

// What the picture archive's block copy leaves after a picture: the start of whatever follows it
// in the archive, here arbitrary bytes.
std::string Garbage(std::size_t size) {
    std::string bytes;
    unsigned state = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

std::string JpegErrorText(int code) {
    return "JPEG error #" + std::to_string(code);
}

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFile(scratch_.Path(name), bytes);
        return scratch_.Path(name);
    }

    // The message of the EInvalidGraphic that loading raises, or "" when it loads.
    static std::string InvalidGraphicText(const std::string& path) {
        try {
            LoadPictureFile(path);
        } catch (const EInvalidGraphic& error) {
            return error.what();
        }
        return "";
    }

    ScratchDir scratch_;
};

struct KindCase {
    const char* name;
    std::string (*bytes)();
};

void PrintTo(const KindCase& kind, std::ostream* out) {
    *out << kind.name;
}

std::string BmpQuarters() {
    return Encoded(Quarters(), "BMP");
}
std::string IcoQuarters() {
    return Encoded(Quarters(), "ICO");
}
std::string JpegQuarters() {
    return CompressQuarters(JpegKind::Rgb);
}
std::string WmfQuarters() {
    return QuartersMetafile("wmf");
}
std::string EmfQuarters() {
    return QuartersMetafile("emf");
}

class PictureKindTest : public PictureLoaderTest, public ::testing::WithParamInterface<KindCase> {
protected:
    std::string Bytes() const { return GetParam().bytes(); }
};

TEST_P(PictureKindTest, LoadsByTheExtensionWithoutRegardToCase) {
    EXPECT_TRUE(ShowsQuarters(LoadPictureFile(Write(GetParam().name, Bytes()))));
}

TEST_P(PictureKindTest, BytesAfterThePictureAreIgnored) {
    for (std::size_t extra : {1u, 1023u, 2048u}) {
        EXPECT_TRUE(
            ShowsQuarters(LoadPictureFile(Write(GetParam().name, Bytes() + Garbage(extra)))))
            << extra << " bytes after the picture";
    }
    // The next picture of the archive may just as well follow.
    EXPECT_TRUE(ShowsQuarters(LoadPictureFile(
        Write(GetParam().name, Bytes() + CompressQuarters(JpegKind::Grey) + Garbage(100)))));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PictureKindTest,
    ::testing::Values(KindCase{"page.bmp", BmpQuarters}, KindCase{"PAGE.BMP", BmpQuarters},
                      KindCase{"page.ico", IcoQuarters}, KindCase{"page.Ico", IcoQuarters},
                      KindCase{"page.jpg", JpegQuarters}, KindCase{"TempPic.JPG", JpegQuarters},
                      KindCase{"page.jpeg", JpegQuarters}, KindCase{"page.JPEG", JpegQuarters},
                      KindCase{"page.wmf", WmfQuarters}, KindCase{"TempPic.WMF", WmfQuarters},
                      KindCase{"page.emf", EmfQuarters}, KindCase{"page.Emf", EmfQuarters}));

class JpegKindTest : public PictureLoaderTest, public ::testing::WithParamInterface<JpegKind> {};

TEST_P(JpegKindTest, DecodesToRgb) {
    const QImage image = LoadPictureFile(Write("page.jpg", CompressQuarters(GetParam())));
    if (GetParam() != JpegKind::Grey) {
        EXPECT_TRUE(ShowsQuarters(image));
        return;
    }
    ASSERT_EQ(image.size(), QSize(16, 8));
    const QRgb red = image.pixel(3, 1); // grey as written: qGray of red
    EXPECT_EQ(qRed(red), qGreen(red));
    EXPECT_EQ(qRed(red), qBlue(red));
    EXPECT_NEAR(qRed(red), qGray(qRgb(255, 0, 0)), 8);
    EXPECT_EQ(qAlpha(red), 255);
}

INSTANTIATE_TEST_SUITE_P(ColourSpaces, JpegKindTest,
                         ::testing::Values(JpegKind::Rgb, JpegKind::Grey, JpegKind::Progressive,
                                           JpegKind::AdobeCmyk, JpegKind::AdobeYcck,
                                           JpegKind::PlainCmyk));

TEST_F(PictureLoaderTest, AJpegCutShortLoadsWithTheMissingPartFilledIn) {
    const std::string whole = CompressQuarters(JpegKind::Rgb);
    const QImage image = LoadPictureFile(Write("page.jpg", whole.substr(0, whole.size() - 40)));
    EXPECT_EQ(image.size(), QSize(16, 8));
}

TEST_F(PictureLoaderTest, BadJpegDataRaisesLibjpegsMessageCode) {
    const std::string whole = CompressQuarters(JpegKind::Rgb);
    std::string badMarker = whole;
    badMarker[2] = '\xFF';
    badMarker[3] = '\xC1'; // a frame type that libjpeg refuses where the JFIF header was
    const struct {
        std::string bytes;
        int code;
    } cases[] = {
        {"", JERR_INPUT_EMPTY},
        {"This is not a picture.", JERR_NO_SOI},
        {Encoded(Quarters(), "BMP"), JERR_NO_SOI},
        {whole.substr(0, 20), JERR_NO_IMAGE}, // ends before any frame
        {"\xFF\xD8\xFF\xD9", JERR_NO_IMAGE},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(InvalidGraphicText(Write("bad.jpeg", entry.bytes)), JpegErrorText(entry.code))
            << entry.bytes.size() << " bytes";
    }
    const std::string text = InvalidGraphicText(Write("bad.jpg", badMarker));
    EXPECT_EQ(text.rfind("JPEG error #", 0), 0u) << text;
}

TEST_F(PictureLoaderTest, AHugeClaimedJpegIsRefusedWithoutDecoding) {
    // A valid header that claims 60000 x 60000 pixels, with nothing behind it.
    std::string whole = CompressQuarters(JpegKind::Rgb);
    const std::size_t frame = whole.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    whole[frame + 5] = '\xEA';
    whole[frame + 6] = '\x60';
    whole[frame + 7] = '\xEA';
    whole[frame + 8] = '\x60';
    EXPECT_EQ(InvalidGraphicText(Write("huge.jpg", whole)), JpegErrorText(JERR_OUT_OF_MEMORY));
}

TEST_F(PictureLoaderTest, BadBitmapsAndIconsRaiseTheirOwnTexts) {
    const std::string jpeg = CompressQuarters(JpegKind::Rgb);
    const std::string bmp = Encoded(Quarters(), "BMP");
    EXPECT_EQ(InvalidGraphicText(Write("bad.bmp", "")), "Bitmap image is not valid");
    EXPECT_EQ(InvalidGraphicText(Write("bad.bmp", "BM not really")), "Bitmap image is not valid");
    // A picture of another kind under the extension is not guessed from its content.
    EXPECT_EQ(InvalidGraphicText(Write("bad.bmp", jpeg)), "Bitmap image is not valid");
    EXPECT_EQ(InvalidGraphicText(Write("cut.bmp", bmp.substr(0, 40))), "Bitmap image is not valid");
    EXPECT_EQ(InvalidGraphicText(Write("bad.ico", "")), "Icon image is not valid");
    EXPECT_EQ(InvalidGraphicText(Write("bad.ico", bmp)), "Icon image is not valid");
    EXPECT_EQ(InvalidGraphicText(Write("bad.ICO", Garbage(300))), "Icon image is not valid");
}

TEST_F(PictureLoaderTest, AnUnknownExtensionIsNamedAsWrittenBeforeTheFileIsRead) {
    const std::string jpeg = CompressQuarters(JpegKind::Rgb);
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"TempPic.na", "Unknown picture file extension (.na)"},
        {"TempPic.NA", "Unknown picture file extension (.NA)"},
        {"TempPic.Gif", "Unknown picture file extension (.Gif)"},
        {"TempPic.svg", "Unknown picture file extension (.svg)"},
        {"TempPic.jpg.txt", "Unknown picture file extension (.txt)"},
        {"TempPic.", "Unknown picture file extension (.)"},
        {"TempPic", "Unknown picture file extension (.)"},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(InvalidGraphicText(Write(entry.name, jpeg)), entry.text) << entry.name;
    }
    EXPECT_EQ(InvalidGraphicText(scratch_.Path("missing.xyz")),
              "Unknown picture file extension (.xyz)");
    // A dot in a folder's name is not an extension.
    EXPECT_EQ(InvalidGraphicText("/nowhere/pictures.jpg/TempPic"),
              "Unknown picture file extension (.)");
}

TEST_F(PictureLoaderTest, AMissingFileIsAFileError) {
    try {
        LoadPictureFile(scratch_.Path("missing.jpg"));
        FAIL() << "loaded a missing file";
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
}

} // namespace
} // namespace tavelio
