#include "platform/media/video_display.h"

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

QImage Filled(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

class VideoDisplayTest : public testing::Test {
protected:
    VideoDisplayTest() : display_(new VideoDisplay(&form_, "AniShow")) {
        QPalette palette = display_->palette();
        palette.setColor(QPalette::Window, Qt::white);
        display_->setPalette(palette);
    }
    QWidget form_;
    VideoDisplay* display_;
};

TEST_F(VideoDisplayTest, FrameIsFittedWithItsProportionsAndCentred) {
    // A 2:1 frame in a 100 x 100 window fills a 100 x 50 band in the middle.
    display_->resize(100, 100);
    display_->ShowFrame(Filled(40, 20, Qt::red));
    const QImage shown = display_->grab().toImage();
    EXPECT_EQ(shown.pixelColor(50, 10), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(50, 30), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(2, 50), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(50, 70), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(50, 90), QColor(Qt::white));

    // A frame the window's own size fills it exactly.
    display_->resize(315, 226);
    display_->ShowFrame(Filled(315, 226, Qt::blue));
    const QImage whole = display_->grab().toImage();
    EXPECT_EQ(whole.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(whole.pixelColor(314, 225), QColor(Qt::blue));
    EXPECT_EQ(display_->FrameCount(), 2);
}

TEST_F(VideoDisplayTest, EachNewFrameReachesTheScreen) {
    // What the window system got, not a fresh rendering of the widget: a frame of the size before
    // repaints only its own rectangle, and that must take all of it.
    form_.resize(100, 100);
    display_->resize(100, 100);
    form_.show();
    display_->ShowFrame(Filled(40, 20, Qt::red));
    QCoreApplication::processEvents();
    display_->ShowFrame(Filled(40, 20, Qt::blue));
    QCoreApplication::processEvents();
    const QImage screen = form_.screen()->grabWindow(form_.winId()).toImage();
    EXPECT_EQ(screen.pixelColor(2, 30), QColor(Qt::blue));
    EXPECT_EQ(screen.pixelColor(97, 70), QColor(Qt::blue));
    EXPECT_EQ(screen.pixelColor(50, 10), QColor(Qt::white));
}

TEST_F(VideoDisplayTest, WithoutFrameShowsItsBackground) {
    display_->resize(50, 40);
    display_->ShowFrame(Filled(5, 4, Qt::red));
    display_->ClearFrame();
    EXPECT_TRUE(display_->Frame().isNull());
    EXPECT_EQ(display_->grab().toImage().pixelColor(25, 20), QColor(Qt::white));
}

TEST_F(VideoDisplayTest, DescribeTellsPlaceStateAndFrame) {
    display_->SetBounds(225, 25, 315, 226);
    display_->SetVisible(false);
    display_->SetEnabled(false);
    display_->SetHint("To disable animations click on the animation button.");
    display_->ShowFrame(Filled(64, 48, Qt::red));
    const nlohmann::json described = display_->Describe();
    EXPECT_EQ(described["kind"], "videoDisplay");
    EXPECT_EQ(described["visible"], false);
    EXPECT_EQ(described["enabled"], false);
    EXPECT_EQ(described["left"], 225);
    EXPECT_EQ(described["width"], 315);
    EXPECT_EQ(described["hint"], "To disable animations click on the animation button.");
    EXPECT_EQ(described["frameWidth"], 64);
}

} // namespace
} // namespace tavelio
