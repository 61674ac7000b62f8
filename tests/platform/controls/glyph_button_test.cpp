#include "base/errors.h"
#include "platform/controls/glyph_button.h"
#include "support/form_services.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

const QColor kOlive(128, 128, 0);

// A switch glyph like the viewer's: 35 x 16, a red "on" image in columns 0-15 and a blue "off"
// image in columns 19-34, olive (transparent) between them and along the bottom row.
QImage SwitchGlyph() {
    QImage glyph(35, 16, QImage::Format_RGB32);
    glyph.fill(kOlive);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 16; ++x) {
            glyph.setPixelColor(x, y, Qt::red);
            glyph.setPixelColor(x + 19, y, Qt::blue);
        }
    }
    return glyph;
}

class GlyphButtonTest : public ::testing::Test, protected test::FormServices {
protected:
    GlyphButtonTest() {
        form_.resize(200, 100);
        form_.show();
        button_.SetGlyph(GlyphPicture(SwitchGlyph()));
        button_.SetMargin(2);
    }

    // How many pixels of the drawn button have that colour.
    int Pixels(QColor colour) {
        const QImage drawn = button_.grab().toImage();
        int count = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                count += drawn.pixelColor(x, y) == colour;
            }
        }
        return count;
    }

    QWidget form_;
    GlyphButton button_{&form_, "NarrationBit",           64,         0, 22,
                        23,     GlyphButton::Style::Push, dispatcher_};
};

TEST_F(GlyphButtonTest, TheLayoutPicksWhichImageOfAWideGlyphShows) {
    EXPECT_EQ(Pixels(Qt::red), 16 * 15);
    EXPECT_EQ(Pixels(Qt::blue), 0);
    button_.SetLayout(ButtonLayout::blGlyphRight);
    EXPECT_EQ(Pixels(Qt::red), 0);
    EXPECT_EQ(Pixels(Qt::blue), 16 * 15);
    EXPECT_EQ(Pixels(kOlive), 0);
}

TEST_F(GlyphButtonTest, ADisabledButtonShowsItsGlyphGreyedAndTakesNoClick) {
    int clicks = 0;
    button_.SetOnClick([&] {
        ++clicks;
        throw Error("clicked");
    });
    const QPointF at(11, 11);
    QMouseEvent press(QEvent::MouseButtonPress, at, button_.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button_.mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button_, &press);
    QCoreApplication::sendEvent(&button_, &release);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(errorBox_.Texts(), std::vector<std::string>{"clicked."});

    button_.SetEnabled(false);
    EXPECT_EQ(Pixels(Qt::red), 0);
    EXPECT_GT(Pixels(QColor(128, 128, 128)), 16 * 15 / 2);
    button_.DeliverClick();
    button_.SetEnabled(true);
    button_.SetVisible(false);
    button_.DeliverClick();
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace tavelio
