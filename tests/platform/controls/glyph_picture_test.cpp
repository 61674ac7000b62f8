#include "platform/controls/glyph_picture.h"

#include <gtest/gtest.h>
#include <set>

namespace tavelio {
namespace {

// A 10 x 10 glyph whose source is a red disc: its edge covers device pixels in part.
const QByteArray kDiscSource =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">
       <circle cx="5" cy="5" r="4.3" fill="#ff0000"/></svg>)";

TEST(GlyphPictureTest, AboveRatioOneTheSourceIsDrawnWithEachDevicePixelClearOrOpaque) {
    QImage bitmap(10, 10, QImage::Format_RGB32);
    bitmap.fill(QColor(128, 128, 0));
    bitmap.setPixelColor(5, 5, Qt::red);
    GlyphPicture glyph(bitmap, kDiscSource);

    const GlyphPicture::Drawing& drawing = glyph.At(2);
    EXPECT_EQ(drawing.glyph.size(), QSize(20, 20));
    EXPECT_EQ(drawing.glyph.devicePixelRatio(), 2);
    EXPECT_EQ(drawing.greyed.size(), QSize(22, 22)) << "the white edge is one pixel: two here";
    std::set<int> alphas;
    int blendedWithFace = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QRgb pixel = drawing.glyph.pixel(x, y);
            alphas.insert(qAlpha(pixel));
            blendedWithFace += qAlpha(pixel) == 255 && qGreen(pixel) > 0;
        }
    }
    EXPECT_EQ(alphas, (std::set<int>{0, 255}));
    EXPECT_GT(blendedWithFace, 0) << "the disc's edge pixels take the button face's colour in";

    const QImage& atOne = glyph.At(1).glyph;
    EXPECT_EQ(atOne.size(), QSize(10, 10)) << "the bitmap, as it is";
    EXPECT_EQ(qAlpha(atOne.pixel(0, 9)), 0) << "its bottom-left colour is clear";
    EXPECT_EQ(atOne.pixel(5, 5), qRgb(255, 0, 0));
}

} // namespace
} // namespace tavelio
