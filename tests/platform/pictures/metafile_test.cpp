// Metafiles beyond the plain load (picture_loader_test.cpp has that): the size a header gives, the
// bitmaps a record carries, text set by glyph index, and damaged files, which must be "Metafile is
// not valid" and never a crash, a hang or a read outside the file.
#include "platform/pictures/picture_loader.h"
#include "platform/pictures/pictures_ahead.h"
#include "platform/pictures/test_metafiles.h"
#include "support/scratch_dir.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavelio {
namespace {

using tavelio::test::QuartersMetafile;

constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kWmfEndRecordSize = 6;
constexpr std::size_t kEmfEndRecordSize = 20;
constexpr int kUnitsPerPixel = 16; // tavelio-metafile's logical units in a picture this small

std::uint32_t Get(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

void Put(std::string& bytes, std::size_t at, std::size_t size, std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

std::string Bytes(std::size_t size, std::uint32_t value) {
    std::string bytes(size, '\0');
    Put(bytes, 0, size, value);
    return bytes;
}

// The placeable header's checksum is the exclusive or of its first ten 16-bit words.
void SignPlaceableHeader(std::string& wmf) {
    std::uint32_t checksum = 0;
    for (std::size_t at = 0; at < 20; at += 2) {
        checksum ^= Get(wmf, at, 2);
    }
    Put(wmf, 20, 2, checksum);
}

// A STRETCHDIB record drawing a 24-bit bitmap over the undrawn quarter, with a bitmap header of
// headerSize bytes that claims width x height pixels, followed by pixels.
std::string StretchDibRecord(std::uint32_t headerSize, std::int32_t width, std::int32_t height,
                             const std::string& pixels) {
    std::string dib = Bytes(4, headerSize) + Bytes(4, static_cast<std::uint32_t>(width)) +
                      Bytes(4, static_cast<std::uint32_t>(height)) + Bytes(2, 1) + Bytes(2, 24) +
                      std::string(24, '\0'); // no compression, the rest left to defaults
    dib.resize(std::max<std::size_t>(headerSize, 16));
    dib += pixels;
    const std::string parameters =
        Bytes(4, 0x00CC0020) + Bytes(2, 0) +                    // copy the source, RGB colours
        Bytes(2, 2) + Bytes(2, 2) + Bytes(2, 0) + Bytes(2, 0) + // source: 2 x 2 from 0, 0
        Bytes(2, 4 * kUnitsPerPixel) + Bytes(2, 8 * kUnitsPerPixel) + // destination 8 x 4 px
        Bytes(2, 4 * kUnitsPerPixel) + Bytes(2, 8 * kUnitsPerPixel) + // at 8, 4
        dib;
    const std::uint32_t words = static_cast<std::uint32_t>(3 + (parameters.size() + 1) / 2);
    std::string record = Bytes(4, words) + Bytes(2, 0x0F43) + parameters;
    record.resize(words * 2);
    return record;
}

// The quarters WMF with record before its end-of-file record, its header's file size and largest
// record size made to fit.
std::string WmfWith(const std::string& record) {
    std::string wmf = QuartersMetafile("wmf");
    wmf.insert(wmf.size() - kWmfEndRecordSize, record);
    const std::size_t header = kPlaceableHeaderSize;
    Put(wmf, header + 6, 4, static_cast<std::uint32_t>((wmf.size() - header) / 2));
    Put(wmf, header + 12, 4, std::max(Get(wmf, header + 12, 4), Get(record, 0, 4)));
    return wmf;
}

// The quarters EMF writing "Seed" in Arial as four glyph indices (ETO_GLYPH_INDEX), as word
// processors write text: a font record, its selection and the text record before the end.
std::string EmfWithGlyphIndexedText() {
    std::string emf = QuartersMetafile("emf");
    const std::uint32_t font = Get(emf, 56, 2); // the next free object handle
    Put(emf, 56, 2, font + 1);
    std::string face(64, '\0');
    for (std::size_t i = 0; i < 5; ++i) {
        face[i * 2] = "Arial"[i];
    }
    const std::string logFont = Bytes(4, static_cast<std::uint32_t>(-6 * kUnitsPerPixel)) +
                                std::string(12, '\0') + Bytes(4, 400) + std::string(8, '\0') + face;
    const std::string fontRecord = Bytes(4, 82) + Bytes(4, 104) + Bytes(4, font) + logFont;
    const std::string selectRecord = Bytes(4, 37) + Bytes(4, 12) + Bytes(4, font);
    constexpr std::uint32_t kGlyphIndex = 0x10;
    const std::string text = Bytes(2, 54) + Bytes(2, 72) + Bytes(2, 72) + Bytes(2, 71);
    const std::string textBody =
        std::string(16, '\0') +                                              // bounds
        Bytes(4, 1) + Bytes(4, 0x3F800000) + Bytes(4, 0x3F800000) +          // mode, scales 1
        Bytes(4, 2 * kUnitsPerPixel) + Bytes(4, 6 * kUnitsPerPixel) +        // at 2, 6 pixels
        Bytes(4, 4) + Bytes(4, 76) + Bytes(4, kGlyphIndex) +                 // 4 glyphs at 76
        std::string(16, '\0') + Bytes(4, 84) + text + std::string(16, '\0'); // spacing at 84
    const std::string textRecord =
        Bytes(4, 84) + Bytes(4, static_cast<std::uint32_t>(8 + textBody.size())) + textBody;
    emf.insert(emf.size() - kEmfEndRecordSize, fontRecord + selectRecord + textRecord);
    Put(emf, 48, 4, static_cast<std::uint32_t>(emf.size())); // bytes
    Put(emf, 52, 4, Get(emf, 52, 4) + 3);                    // records
    return emf;
}

class MetafileTest : public ::testing::Test {
protected:
    QImage Load(const std::string& name, const std::string& bytes) {
        test::WriteFile(scratch_.Path(name), bytes);
        return LoadPictureFile(scratch_.Path(name));
    }

    // "" when the file loads, else the text of what it raised.
    std::string ErrorText(const std::string& name, const std::string& bytes) {
        try {
            Load(name, bytes);
        } catch (const std::exception& error) {
            return error.what();
        }
        return "";
    }

    test::ScratchDir scratch_;
};

TEST_F(MetafileTest, TheHeaderGivesThePictureItsSizeAndItsFrameFillsIt) {
    // Twice the placeable box or the picture frame: twice the picture, the records still drawing
    // the quarters over its top-left quarter.
    std::string wmf = QuartersMetafile("wmf");
    Put(wmf, 10, 2, Get(wmf, 10, 2) * 2);
    Put(wmf, 12, 2, Get(wmf, 12, 2) * 2);
    SignPlaceableHeader(wmf);
    std::string emf = QuartersMetafile("emf");
    Put(emf, 32, 4, Get(emf, 32, 4) * 2);
    Put(emf, 36, 4, Get(emf, 36, 4) * 2);
    for (const auto& [name, bytes] : {std::pair{"wide.wmf", wmf}, std::pair{"wide.emf", emf}}) {
        SCOPED_TRACE(name);
        const QImage image = Load(name, bytes);
        ASSERT_EQ(image.size(), QSize(32, 16));
        EXPECT_EQ(image.pixel(3, 1), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(12, 1), qRgb(0, 255, 0));
        EXPECT_EQ(image.pixel(3, 6), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(12, 6), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(24, 12), qRgb(255, 255, 255));
    }
}

TEST_F(MetafileTest, BitmapsInWindowsMetafilesAreDrawnWhenTheirHeadersHoldTrue) {
    // Two rows of two yellow pixels, each row padded to four bytes (blue, green, red order).
    const std::string yellowRow = std::string("\x00\xFF\xFF\x00\xFF\xFF", 6) + std::string(2, '\0');
    const QImage image =
        Load("bitmap.wmf", WmfWith(StretchDibRecord(40, 2, 2, yellowRow + yellowRow)));
    EXPECT_EQ(image.pixel(12, 6), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(3, 1), qRgb(255, 0, 0));

    // A header size of 0 once kept libwmf busy for minutes; a bitmap bigger than its record, or
    // than any picture may be, is as damaged.
    const struct {
        std::uint32_t headerSize;
        std::int32_t width, height;
    } lies[] = {{0, 2, 2}, {12000, 2, 2}, {40, 60000, 60000}, {40, 2, 200}, {40, -2, 2}};
    for (const auto& lie : lies) {
        EXPECT_EQ(
            ErrorText("lie.wmf", WmfWith(StretchDibRecord(lie.headerSize, lie.width, lie.height,
                                                          yellowRow + yellowRow))),
            "Metafile is not valid")
            << lie.headerSize << " " << lie.width << " x " << lie.height;
    }
}

TEST_F(MetafileTest, GlyphIndexedTextLeavesTheProgramsFontsAlone) {
    // libemf2svg finds the font of glyph-indexed text through fontconfig, then shuts fontconfig
    // down: with Qt holding on to fontconfig (a character missing from the font made Qt look for
    // another), fontconfig would abort the program.
    QImage canvas(40, 20, QImage::Format_RGB32);
    const auto drawText = [&canvas] {
        QPainter painter(&canvas);
        painter.setFont(QFont(QStringLiteral("Arial"), 12));
        painter.drawText(2, 15, QString::fromUtf8("\u0A53 Seed \u0E01"));
    };
    drawText();
    const std::string emf = EmfWithGlyphIndexedText();
    for (int load = 0; load < 2; ++load) {
        EXPECT_EQ(Load("glyphs.emf", emf).size(), QSize(16, 8));
        drawText();
    }
}

TEST_F(MetafileTest, DamagedFilesAreNotValid) {
    const std::string wmf = QuartersMetafile("wmf");
    const std::string emf = QuartersMetafile("emf");
    std::string unsignedEmf = emf;
    unsignedEmf[41] = 'X'; // " EMF" is no longer there
    std::string noPictureSize = wmf;
    Put(noPictureSize, 14, 2, 0); // no units per inch
    std::string tooTall = emf;
    Put(tooTall, 36, 4, Get(emf, 36, 4) * 1000); // a frame 8000 pixels tall
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.wmf", ""},
        {"empty.emf", ""},
        {"text.wmf", "This is not a picture."},
        {"text.emf", std::string(200, 'x')},
        {"head.wmf", wmf.substr(0, 10)},
        {"header.wmf", wmf.substr(0, 40)},
        {"cut.wmf", wmf.substr(0, wmf.size() - 1)},
        {"no-end.wmf", wmf.substr(0, wmf.size() - kWmfEndRecordSize)},
        {"head.emf", emf.substr(0, 10)},
        {"header.emf", emf.substr(0, Get(emf, 4, 4))},
        {"cut.emf", emf.substr(0, emf.size() - 1)},
        {"no-end.emf", emf.substr(0, emf.size() - kEmfEndRecordSize)},
        {"not-placeable.wmf", wmf.substr(kPlaceableHeaderSize)},
        {"no-size.wmf", noPictureSize},
        {"too-tall.emf", tooTall},
        {"unsigned.emf", unsignedEmf},
        {"other.wmf", emf},
        {"other.emf", wmf},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(ErrorText(entry.name, entry.bytes), "Metafile is not valid") << entry.name;
    }
}

TEST_F(MetafileTest, DamagedCopiesLoadOrAreNotValid) {
    // Files changed at random places, cut short, or both, as a damaged archive would give them.
    unsigned state = 20240517;
    const auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 8; };
    for (const char* format : {"wmf", "emf"}) {
        const std::string whole = QuartersMetafile(format);
        for (int round = 0; round < 150; ++round) {
            std::string bytes = whole;
            for (unsigned change = 1 + next() % 6; change > 0; --change) {
                bytes[next() % bytes.size()] = static_cast<char>(next());
            }
            if (round % 3 == 0) {
                bytes.resize(next() % bytes.size());
            }
            SCOPED_TRACE(std::string(format) + " round " + std::to_string(round));
            try {
                const QImage image = Load(std::string("damaged.") + format, bytes);
                EXPECT_FALSE(image.isNull());
            } catch (const EInvalidGraphic& error) {
                EXPECT_STREQ(error.what(), "Metafile is not valid");
            }
        }
    }
}

std::vector<std::uint8_t> AsBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST_F(MetafileTest, APictureDrawnAheadIsTakenOnlyForTheSameBytesAndKind) {
    const std::string quarters = QuartersMetafile("emf");
    const std::string withText = EmfWithGlyphIndexedText();
    const std::string same = scratch_.Path("same.emf");
    const std::string text = scratch_.Path("text.emf");
    const std::string wmf = scratch_.Path("quarters.wmf");
    const std::string damaged = scratch_.Path("damaged.emf");
    test::WriteFile(same, quarters);
    test::WriteFile(text, withText);
    test::WriteFile(wmf, QuartersMetafile("wmf"));
    test::WriteFile(damaged, quarters.substr(0, 60));
    PicturesAhead pictures;
    const auto drawAhead = [&pictures](const std::string& bytes) {
        pictures.DrawAhead("EMF", [bytes] { return AsBytes(bytes); });
    };

    drawAhead(quarters);
    EXPECT_EQ(pictures.Load(same), LoadPictureFile(same));
    drawAhead(withText); // text, drawn away from the user-interface thread
    EXPECT_EQ(pictures.Load(text), LoadPictureFile(text));
    // Other bytes, or the same bytes as another kind, are drawn from the file.
    ASSERT_NE(LoadPictureFile(text), LoadPictureFile(same));
    EXPECT_EQ(pictures.Load(text), LoadPictureFile(text));
    drawAhead(QuartersMetafile("wmf"));
    EXPECT_EQ(pictures.Load(wmf), LoadPictureFile(wmf));

    // What failed ahead fails again with the loader's own error; a read that failed leaves the
    // file to be drawn.
    drawAhead(quarters.substr(0, 60));
    EXPECT_THROW(pictures.Load(damaged), EInvalidGraphic);
    pictures.DrawAhead("emf", []() -> std::vector<std::uint8_t> {
        throw std::runtime_error("the archive went away");
    });
    EXPECT_EQ(pictures.Load(same), LoadPictureFile(same));
}

} // namespace
} // namespace tavelio
