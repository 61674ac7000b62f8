#include "book/font_tables.h"
#include "book/handwriting_font.h"
#include "book/harfbuzz_handles.h"
#include "book/tool_error.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/page_design.h"
#include "support/scratch_dir.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QRawFont>
#include <gtest/gtest.h>

namespace tavelio::book {
namespace {

using test::ScratchDir;

constexpr const char* kAndika = "/usr/share/fonts/truetype/andika/Andika-Regular.ttf";
constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kNimbusSans = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf";

HbFace AndikaFace() {
    const HbBlob file(hb_blob_create_from_file(kAndika));
    return HbFace(hb_face_create(file.get(), 0));
}

// Andika with only the characters given.
std::string AndikaWith(const char* characters) {
    const HbFace andika = AndikaFace();
    const HbSubsetInput input(hb_subset_input_create_or_fail());
    for (const char* c = characters; *c != '\0'; ++c) {
        hb_set_add(hb_subset_input_unicode_set(input.get()), static_cast<unsigned char>(*c));
    }
    const HbFace subset(hb_subset_or_fail(andika.get(), input.get()));
    const HbBlob font(hb_face_reference_blob(subset.get()));
    return BytesOf(font.get());
}

// Andika whose licence (name 13) is a long text.
std::string AndikaWithLicence(const std::u16string& licence) {
    const HbFace andika = AndikaFace();
    const HbFace builder(hb_face_builder_create());
    hb_tag_t tags[64];
    unsigned count = 64;
    hb_face_get_table_tags(andika.get(), 0, &count, tags);
    for (unsigned index = 0; index < count; ++index) {
        const HbBlob table(hb_face_reference_table(andika.get(), tags[index]));
        if (tags[index] != HB_TAG('n', 'a', 'm', 'e')) {
            hb_face_builder_add_table(builder.get(), tags[index], table.get());
            continue;
        }
        const std::string name = RenamedNames(BytesOf(table.get()), {{13, licence}});
        hb_face_builder_add_table(builder.get(), tags[index], BlobOf(name).get());
    }
    const HbBlob font(hb_face_reference_blob(builder.get()));
    return BytesOf(font.get());
}

std::string RefusalOf(const std::string& path) {
    try {
        MakeHandwritingFont(path);
    } catch (const ToolError& error) {
        return error.what();
    }
    return "not refused";
}

// Any font with the letters, made the book's: installed by its bytes, as the reader installs
// it, the handwriting face at the ruled line's size stands on the base rule, its ascenders reach
// the top rule and its line is the ruled line.
TEST(HandwritingFontTest, AnyFontIsNamedTheHandwritingFaceAndFittedToTheRuledLines) {
    for (const char* source : {kAndika, kDejaVuSans}) {
        SCOPED_TRACE(source);
        const std::string font = MakeHandwritingFont(source);
        EXPECT_LE(font.size(), kFontBlockSize);
        const int id = QFontDatabase::addApplicationFontFromData(QByteArray::fromStdString(font));
        ASSERT_GE(id, 0);
        EXPECT_EQ(QFontDatabase::applicationFontFamilies(id),
                  QStringList{QString::fromUtf8(kHandwritingFace)});
        QFont face(QString::fromUtf8(kHandwritingFace));
        face.setPixelSize(design::kRuledLineFontPixels);
        const QFontMetricsF metrics(face);
        EXPECT_NEAR(metrics.ascent(), design::kBaseRule, 0.05);
        EXPECT_NEAR(metrics.height(), design::kRuledLineHeight, 0.05);
        EXPECT_EQ(metrics.leading(), 0);
        const QRawFont raw(QByteArray::fromStdString(font), design::kRuledLineFontPixels);
        const quint32 l = raw.glyphIndexesForString(QStringLiteral("l")).at(0);
        const double ascender = -raw.pathForGlyph(l).boundingRect().top();
        // Up to the top rule, never above it, and short of it by less than the half pixel that
        // whole units per pixel may cost.
        EXPECT_LE(ascender, design::kBaseRule - design::kUpperRule + 0.01);
        EXPECT_GT(ascender, design::kBaseRule - design::kUpperRule - 0.5);
        QFontDatabase::removeApplicationFont(id);
    }
}

TEST(HandwritingFontTest, RefusesWhatMakesNoHandwritingFontNamingTheFile) {
    const ScratchDir dir;
    EXPECT_EQ(RefusalOf(dir.Path("none.ttf")), dir.Path("none.ttf") + ": File not found.");
    test::WriteFile(dir.Path("notes.ttf"), "Handwriting: Andika\n");
    EXPECT_EQ(RefusalOf(dir.Path("notes.ttf")),
              dir.Path("notes.ttf") + ": not a TrueType or OpenType font");
    EXPECT_EQ(RefusalOf(kNimbusSans),
              std::string(kNimbusSans) +
                  ": an OpenType font with PostScript (CFF) outlines; the handwriting font must "
                  "have TrueType (glyf) outlines");
    test::WriteFile(dir.Path("few.ttf"), AndikaWith(" abcdefghijklmnopqrstuvwxyz.,;:!?'\"()-"));
    EXPECT_EQ(RefusalOf(dir.Path("few.ttf")),
              dir.Path("few.ttf") + ": the font lacks characters that the books' text needs: " +
                  "A B C D E F G H I J K L and 24 more");
    test::WriteFile(dir.Path("long.ttf"), AndikaWithLicence(std::u16string(20000, u'x')));
    EXPECT_EQ(RefusalOf(dir.Path("long.ttf")),
              dir.Path("long.ttf") + ": the handwriting font made from it takes 55,500 bytes, " +
                  "more than the 52,416 of the book's font block (its letters' outlines take " +
                  "12,274 bytes and its names 41,326); choose a font with plainer letters or " +
                  "shorter names");
}

} // namespace
} // namespace tavelio::book
