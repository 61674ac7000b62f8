#include "launch/launch_pad.h"

#include "content/page_design.h"
#include "content/page_table.h"
#include "launch/launch_pictures.h"
#include "platform/controls/key_codes.h"
#include "viewer/view_book.h"

#include <QPainter>
#include <array>

namespace tavelio {
namespace {

constexpr const char* kNotInDemo = "Not available in Demo!";
constexpr const char* kTimesNewRoman = "Times New Roman";
constexpr int kWordHeight = 29; // the word labels
constexpr int kFormHeight = 27; // the form's font, used by the number labels
// The bands beside a cover are the cover itself, shrunk by this much each way and drawn back
// large, which blurs it into its own colours.
constexpr int kBandBlur = 16;

// The cover at size, in size's proportions without being stretched out of them: cropped a little,
// or whole between bands of its own colours. Smooth scaling averages every pixel, where drawing a
// far larger picture straight into the box would skip most.
QImage FramedCover(const QImage& cover, QSize size) {
    QImage framed(size, QImage::Format_RGB32);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF covering = QSizeF(cover.size()).scaled(size, Qt::KeepAspectRatioByExpanding);
    painter.drawImage(QRectF(QPointF((size.width() - covering.width()) / 2,
                                     (size.height() - covering.height()) / 2),
                             covering),
                      cover.scaled((covering / kBandBlur).toSize().expandedTo({1, 1}),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const design::PlacedPicture placed =
        design::PlacePictureInBox(cover.width(), cover.height(), size.width(), size.height());
    const QRect target = QRectF(placed.left, placed.top, placed.width, placed.height).toRect();
    painter.drawImage(target.topLeft(),
                      cover.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return framed;
}

} // namespace

TLaunch::TLaunch(const FormEnvironment& environment, LaunchProgram& program, BookCursor& cursor)
    : Form(environment, "Launch", FrameStyle::FixedSingle), program_(program), cursor_(cursor) {
    SetCaption("Tavelio Launch Pad --- Demo!");
    SetIcon(ProgramIcon());
    SetClientSize(562, 375);
    SetCentredWhenFirstShown(true);
    SetColor(QColor(192, 192, 192));
    SetFont(kTimesNewRoman, kFormHeight);
    SetCursorShape(CursorShape::NoEntry);

    MakeLevelView();
    MakeBookView();
    SplashTime = new Timer(this, "SplashTime", 4000, FormClock(), Dispatcher());
    WireEvents();
    ShowFirstState();
}

Label* TLaunch::MakeWord(const char* name, int left, int top, int width, int height,
                         const char* caption) {
    auto* label = new Label(this, name, left, top, width, height, caption);
    label->SetFont(kTimesNewRoman, kWordHeight);
    return label;
}

void TLaunch::MakeLevelView() {
    // The level blocks have versions of their own for high-density screens.
    const auto level = [this](const char* name, int left, int top, int height, const char* file,
                              const char* detailedFile) {
        auto* box = new PictureBox(this, name, left, top, 80, height, PictureBox::Drawing::Natural,
                                   Dispatcher());
        box->SetPicture(LaunchPicture(file));
        box->SetDetailedPicture([detailedFile] { return LaunchPicture(detailedFile); });
        return box;
    };
    QVA = level("QVA", 64, 84, 83, "level-a.jpg", "level-a@2x.jpg");
    QVB = level("QVB", 364, 72, 95, "level-b.jpg", "level-b@2x.jpg");
    QVC = level("QVC", 212, 210, 88, "level-c.jpg", "level-c@2x.jpg");
    Welcome = MakeWord("Welcome", 125, 0, 306, 33, "Welcome to Tavelio!");
    ChooseLevel = MakeWord("ChooseLevel", 70, 40, 409, 33, "Please Choose Your Reading Level.");
    LevelA = MakeWord("LevelA", 61, 174, 92, 33, "Level A");
    LevelB = MakeWord("LevelB", 360, 174, 91, 33, "Level B");
    LevelC = MakeWord("LevelC", 208, 302, 91, 33, "Level C");
}

void TLaunch::MakeBookView() {
    ChooseBook = MakeWord("ChooseBook", 128, 0, 326, 33, "Choose Your Reading Book!");
    // The covers get their pictures when the book view first shows them: the launch pad's first
    // frame, and so the splash after it, need not wait for five pictures that neither shows.
    const auto cover = [this](const char* name, int left, int top, int width, int height) {
        return new PictureBox(this, name, left, top, width, height, PictureBox::Drawing::Stretched,
                              Dispatcher());
    };
    Ann = cover("Ann", 20, 52, 158, 108);
    TopDog = cover("TopDog", 210, 52, 158, 108);
    Tip = cover("Tip", 398, 52, 164, 102);
    UpUp = cover("UpUp", 67, 204, 168, 123);
    GetSet = cover("GetSet", 322, 225, 178, 102);
    // The number labels are placed under their covers when the book view is shown.
    const auto number = [this](const char* name, int left, int top, const char* caption) {
        return new Label(this, name, left, top, 14, 31, caption);
    };
    B2 = number("B2", 285, 160, "2");
    B3 = number("B3", 476, 160, "3");
    B4 = number("B4", 147, 328, "4");
    B5 = number("B5", 407, 328, "5");
    B1 = number("B1", 95, 160, "1");
}

void TLaunch::WireEvents() {
    QVA->SetCursorShape(CursorShape::Arrow);
    Ann->SetCursorShape(CursorShape::Arrow);
    for (PictureBox* unavailable : {QVB, QVC, TopDog, Tip, UpUp, GetSet}) {
        unavailable->SetHint(kNotInDemo, true);
    }
    QVA->SetOnClick([this] { QVAClick(); });
    Ann->SetOnClick([this] { AnnClick(); });
    SplashTime->SetOnTimer([this] { SplashTimeTimer(); });
}

void TLaunch::ShowFirstState() {
    // The level view at its designed size.
    ChooseBook->SetVisible(false);
    for (PictureBox* cover : {Ann, TopDog, Tip, UpUp, GetSet}) {
        cover->SetVisible(false);
        cover->SetEnabled(false);
    }
    for (Label* numberLabel : {B2, B3, B4, B5, B1}) {
        numberLabel->SetVisible(false);
    }
}

void TLaunch::ShowLevelChoice() {
    for (Label* numberLabel : {B1, B2, B3, B4, B5}) {
        numberLabel->SetVisible(false);
    }
    for (Label* label : {Welcome, ChooseLevel, LevelA, LevelB, LevelC}) {
        label->SetVisible(true);
    }
    for (PictureBox* level : {QVA, QVB, QVC}) {
        level->SetVisible(true);
    }
    for (PictureBox* level : {QVA, QVB, QVC}) {
        level->SetEnabled(true);
    }
    ChooseBook->SetVisible(false);
    SetWidth(570);
    SetHeight(402);
    for (PictureBox* cover : {Ann, TopDog, Tip, UpUp, GetSet}) {
        cover->SetVisible(false);
        cover->SetEnabled(false);
    }
}

void TLaunch::ShowBookChoice() {
    struct Place {
        Label* label;
        int left;
        int top;
    };
    for (const Place& place : std::array<Place, 5>{
             {{B1, 95, 160}, {B2, 285, 160}, {B3, 476, 160}, {B4, 147, 328}, {B5, 407, 328}}}) {
        place.label->SetTop(place.top);
        place.label->SetLeft(place.left);
        place.label->SetVisible(true);
    }
    for (Label* label : {Welcome, ChooseLevel, LevelA, LevelB, LevelC}) {
        label->SetVisible(false);
    }
    for (PictureBox* level : {QVA, QVB, QVC}) {
        level->SetVisible(false);
    }
    for (PictureBox* level : {QVA, QVB, QVC}) {
        level->SetEnabled(false);
    }
    ChooseBook->SetVisible(true);
    SetWidth(590);
    SetHeight(400);
    DecodeCovers();
    for (PictureBox* cover : {Ann, TopDog, Tip, UpUp, GetSet}) {
        cover->SetVisible(true);
        cover->SetEnabled(true);
    }
}

void TLaunch::DecodeCovers() {
    if (coversDecoded_) {
        return;
    }
    // Stored with twice their boxes' size, and drawn stretched into them.
    DrawAnnCover();
    TopDog->SetPicture(LaunchPicture("cover-topdog.jpg"));
    Tip->SetPicture(LaunchPicture("cover-tip.jpg"));
    UpUp->SetPicture(LaunchPicture("cover-upup.jpg"));
    GetSet->SetPicture(LaunchPicture("cover-getset.jpg"));
    coversDecoded_ = true;
}

void TLaunch::ShowBookCover(const QImage& cover) {
    // At the stored covers' size, twice the box each way: enough for a screen of two device
    // pixels a pixel, where a book's picture may be many times that size.
    bookCover_ =
        cover.isNull() ? QImage() : FramedCover(cover, QSize(Ann->Width(), Ann->Height()) * 2);
    if (coversDecoded_) {
        DrawAnnCover();
    }
}

void TLaunch::DrawAnnCover() {
    Ann->SetPicture(bookCover_.isNull() ? LaunchPicture("cover-ann.jpg") : bookCover_);
}

void TLaunch::OpenFirstBook() {
    cursor_.CurPage = PageTable::kFirstSlot;
    cursor_.StoryPage = kOpeningStoryPage;
    ShowLevelChoice();
    SetVisible(false);
    SetEnabled(false);
    TViewBook& viewer = program_.Viewer();
    viewer.SetEnabled(true);
    viewer.SetVisible(true);
    viewer.CoverTimed->SetEnabled(true);
}

void TLaunch::FormActivate() {
    program_.StartUpWork();
}

void TLaunch::FormClose() {
    program_.ShutdownFromLaunch();
}

void TLaunch::FormKeyDown(int virtualKey) {
    if (virtualKey == vk::kEscape) {
        ShowLevelChoice();
    }
}

void TLaunch::FormKeyPress(char character) {
    switch (character) {
    case '1':
        if (Ann->OwnEnabled()) {
            OpenFirstBook();
        }
        break;
    case 'A':
    case 'a':
        ShowLevelChoice();
        ShowBookChoice();
        break;
    default:
        break;
    }
}

void TLaunch::QVAClick() {
    ShowBookChoice();
}

void TLaunch::AnnClick() {
    OpenFirstBook();
}

void TLaunch::SplashTimeTimer() {
    SplashTime->SetEnabled(false);
    program_.ReleaseSplash();
}

} // namespace tavelio
