#include "base/errors.h"
#include "platform/controls/label.h"
#include "platform/controls/picture_box.h"
#include "platform/media/media_player.h"
#include "platform/pictures/picture_loader.h"
#include "support/form_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <fstream>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

// A picture whose top half is red and bottom half blue.
QImage TwoBands(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int y = height / 2; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixelColor(x, y, Qt::blue);
        }
    }
    return picture;
}

class PictureBoxTest : public ::testing::Test, protected test::FormServices {
protected:
    PictureBoxTest() {
        QPalette colours = form_.palette();
        colours.setColor(QPalette::Window, Qt::white);
        form_.setPalette(colours);
        form_.setAutoFillBackground(true);
        form_.resize(300, 300);
    }

    std::string Path(const char* name) const {
        return QDir(folder_.path()).filePath(QString::fromUtf8(name)).toStdString();
    }

    QColor Drawn(PictureBox& box, int x, int y) { return box.grab().toImage().pixelColor(x, y); }

    void Click(QWidget& widget, QPoint releaseAt) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1),
                          widget.mapToGlobal(QPointF(1, 1)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(releaseAt),
                            widget.mapToGlobal(QPointF(releaseAt)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &release);
    }

    QTemporaryDir folder_;
    QWidget form_;
};

TEST_F(PictureBoxTest, DrawsNaturalSizeClippedCentredOrStretched) {
    PictureBox natural(&form_, "QVB", 0, 0, 80, 95, PictureBox::Drawing::Natural, dispatcher_);
    natural.SetPicture(TwoBands(80, 104));
    EXPECT_EQ(Drawn(natural, 10, 94), QColor(Qt::blue)); // row 94 of the picture
    EXPECT_EQ(natural.grab().size(), QSize(80, 95));

    PictureBox centred(&form_, "SplashFront", 0, 0, 100, 100, PictureBox::Drawing::Centred,
                       dispatcher_);
    centred.SetPicture(TwoBands(21, 20));
    centred.setAutoFillBackground(false);
    EXPECT_EQ(Drawn(centred, 39, 40), QColor(Qt::red)); // left edge at (100 - 21) / 2 = 39
    EXPECT_EQ(Drawn(centred, 59, 59), QColor(Qt::blue));

    PictureBox stretched(&form_, "Ann", 0, 0, 40, 40, PictureBox::Drawing::Stretched, dispatcher_);
    stretched.SetPicture(TwoBands(2, 2));
    EXPECT_EQ(Drawn(stretched, 20, 2), QColor(Qt::red));
    EXPECT_EQ(Drawn(stretched, 20, 37), QColor(Qt::blue));
}

TEST_F(PictureBoxTest, ReplacesItsPictureOnlyWhenAFileLoads) {
    PictureBox box(&form_, "BackGround", 0, 0, 50, 50, PictureBox::Drawing::Stretched, dispatcher_);
    PicturesAhead pictures;
    ASSERT_TRUE(TwoBands(7, 9).save(QString::fromStdString(Path("good.bmp"))));
    box.LoadFromFile(Path("good.bmp"), pictures);
    EXPECT_EQ(box.Picture().size(), QSize(7, 9));
    EXPECT_EQ(box.Describe()["picture"], (nlohmann::json{{"width", 7}, {"height", 9}}));

    std::ofstream(Path("bad.jpg")) << "not a picture";
    EXPECT_THROW(box.LoadFromFile(Path("bad.jpg"), pictures), EInvalidGraphic);
    ASSERT_TRUE(TwoBands(3, 3).save(QString::fromStdString(Path("other.png"))));
    try {
        box.LoadFromFile(Path("other.png"), pictures);
        ADD_FAILURE() << "a PNG file loaded";
    } catch (const EInvalidGraphic& error) {
        EXPECT_STREQ(error.what(), "Unknown picture file extension (.png)");
    }
    EXPECT_THROW(box.LoadFromFile(Path("missing.bmp"), pictures), EInOutError);
    EXPECT_EQ(box.Picture().size(), QSize(7, 9));
}

TEST_F(PictureBoxTest, ClicksReachTheHandlerOnlyWhenItCanBeClicked) {
    form_.show();
    PictureBox box(&form_, "QVA", 10, 10, 80, 83, PictureBox::Drawing::Natural, dispatcher_);
    box.show();
    int clicks = 0;
    box.SetOnClick([&] {
        ++clicks;
        if (clicks == 2) {
            throw EMCIDeviceError("No MCI device open");
        }
    });
    Click(box, QPoint(40, 40));
    Click(box, QPoint(79, 82));
    Click(box, QPoint(85, 40)); // released outside: no click
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errorBox_.Texts(), std::vector<std::string>{"No MCI device open."});
    box.setEnabled(false);
    box.DeliverClick();
    box.setEnabled(true);
    form_.setEnabled(false);
    box.DeliverClick();
    form_.setEnabled(true);
    box.hide();
    box.DeliverClick();
    EXPECT_EQ(clicks, 2);
    box.show();
    box.DeliverClick();
    EXPECT_EQ(clicks, 3);
}

TEST_F(PictureBoxTest, DescribesHintAndCursor) {
    PictureBox box(&form_, "TopDog", 210, 52, 158, 108, PictureBox::Drawing::Stretched,
                   dispatcher_);
    box.SetHint("Not available in Demo!", true);
    box.SetCursorShape(CursorShape::Arrow);
    box.setEnabled(false);
    const nlohmann::json description = box.Describe();
    EXPECT_EQ(description["kind"], "picture");
    EXPECT_EQ(description["hint"], "Not available in Demo!");
    EXPECT_EQ(description["showHint"], true);
    EXPECT_EQ(description["cursor"], "arrow");
    EXPECT_EQ(description["enabled"], false);
    EXPECT_EQ(description["picture"], nullptr);
    EXPECT_EQ(box.toolTip(), QStringLiteral("Not available in Demo!"));
    box.SetHint("Not available in Demo!", false);
    EXPECT_TRUE(box.toolTip().isEmpty());
}

TEST(LabelTest, SizesItselfToItsTextInTheDesignedFace) {
    QWidget form;
    Label label(&form, "LevelA", 61, 174, 92, 33, "Level A");
    label.SetFont("Times New Roman", 29);
    EXPECT_EQ(label.FontName(), "Times New Roman");
    EXPECT_EQ(label.FontHeight(), 29);
    EXPECT_EQ(label.pos(), QPoint(61, 174));
    EXPECT_EQ(label.height(), 33);
    const int shortWidth = label.width();
    label.SetCaption("Level A and more");
    EXPECT_GT(label.width(), shortWidth);
    label.SetFontName("Zaner-Bloser Manuscript");
    EXPECT_EQ(label.FontHeight(), 29);

    Label fixed(&form, "Text1", 144, 252, 497, 71, "Ann");
    fixed.SetAutoSize(false);
    fixed.SetFont("Times New Roman", 53);
    fixed.SetCaption("A much longer line of text than before");
    EXPECT_EQ(fixed.size(), QSize(497, 71));
    fixed.SetCaption("caf\xe9");
    EXPECT_EQ(fixed.text(), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(fixed.Describe()["caption"], "caf\xc3\xa9");
}

} // namespace
} // namespace tavelio
