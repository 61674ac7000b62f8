#include "app/program_fixture.h"

#include <QEvent>
#include <functional>

namespace tavelio::test {
namespace {

class LaunchPadTest : public ProgramFixture {
protected:
    void SetUp() override {
        StartProgram();
        clock_.Advance(4000); // past the splash
    }

    enum class View { Level, Book, Hidden };

    // The view the controls show, checked control by control; fails the test when they are
    // mixed.
    View CurrentView() {
        TLaunch& pad = launch();
        if (!pad.OwnVisible()) {
            EXPECT_FALSE(pad.OwnEnabled());
            EXPECT_EQ(CurrentShownView(), View::Level); // the level view waits for the return
            return View::Hidden;
        }
        return CurrentShownView();
    }

    View CurrentShownView() {
        TLaunch& pad = launch();
        const bool book = pad.ChooseBook->OwnVisible();
        for (Label* label : {pad.Welcome, pad.ChooseLevel, pad.LevelA, pad.LevelB, pad.LevelC}) {
            EXPECT_EQ(label->OwnVisible(), !book) << label->objectName().toStdString();
        }
        for (PictureBox* level : {pad.QVA, pad.QVB, pad.QVC}) {
            EXPECT_EQ(level->OwnVisible(), !book) << level->objectName().toStdString();
            EXPECT_EQ(level->OwnEnabled(), !book) << level->objectName().toStdString();
        }
        for (PictureBox* cover : {pad.Ann, pad.TopDog, pad.Tip, pad.UpUp, pad.GetSet}) {
            EXPECT_EQ(cover->OwnVisible(), book) << cover->objectName().toStdString();
            EXPECT_EQ(cover->OwnEnabled(), book) << cover->objectName().toStdString();
        }
        for (Label* number : {pad.B1, pad.B2, pad.B3, pad.B4, pad.B5}) {
            EXPECT_EQ(number->OwnVisible(), book) << number->objectName().toStdString();
        }
        return book ? View::Book : View::Level;
    }

    QSize OuterSize() { return {launch().Width(), launch().Height()}; }
};

TEST_F(LaunchPadTest, FirstShownInTheLevelViewAtItsDesignedSize) {
    TLaunch& pad = launch();
    EXPECT_EQ(CurrentView(), View::Level);
    EXPECT_EQ(pad.Caption(), "Tavelio Launch Pad --- Demo!");
    EXPECT_EQ(QSize(pad.ClientWidth(), pad.ClientHeight()), QSize(562, 375));
    EXPECT_EQ(OuterSize(), QSize(570, 402));
    // Centred on the 800 x 600 screen.
    EXPECT_EQ(QPoint(pad.Left(), pad.Top()), QPoint(115, 99));
    EXPECT_EQ(pad.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_FALSE(pad.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(pad.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(pad.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(program().ActiveFormNow(), &pad);
}

TEST_F(LaunchPadTest, ControlsSitWhereDesigned) {
    const nlohmann::json controls = launch().Describe()["controls"];
    const auto bounds = [&](const char* name) {
        const nlohmann::json& c = controls.at(name);
        return QRect(c["left"], c["top"], c["width"], c["height"]);
    };
    EXPECT_EQ(bounds("QVA"), QRect(64, 84, 80, 83));
    EXPECT_EQ(bounds("QVB"), QRect(364, 72, 80, 95));
    EXPECT_EQ(bounds("QVC"), QRect(212, 210, 80, 88));
    EXPECT_EQ(bounds("Ann"), QRect(20, 52, 158, 108));
    EXPECT_EQ(bounds("TopDog"), QRect(210, 52, 158, 108));
    EXPECT_EQ(bounds("Tip"), QRect(398, 52, 164, 102));
    EXPECT_EQ(bounds("UpUp"), QRect(67, 204, 168, 123));
    EXPECT_EQ(bounds("GetSet"), QRect(322, 225, 178, 102));
    // Word labels size themselves to their text in the 29-pixel face; the height is the
    // face's line height.
    for (const char* word :
         {"Welcome", "ChooseLevel", "LevelA", "LevelB", "LevelC", "ChooseBook"}) {
        EXPECT_EQ(controls.at(word)["fontName"], "Times New Roman") << word;
        EXPECT_EQ(controls.at(word)["fontHeight"], 29) << word;
        EXPECT_EQ(controls.at(word)["height"], 33) << word;
    }
    EXPECT_EQ(bounds("Welcome").topLeft(), QPoint(125, 0));
    EXPECT_EQ(bounds("LevelC").topLeft(), QPoint(208, 302));
    EXPECT_EQ(controls.at("B1")["fontHeight"], 27);
    EXPECT_EQ(controls.at("B1")["caption"], "1");
    EXPECT_EQ(controls.at("SplashTime")["interval"], 4000);
}

TEST_F(LaunchPadTest, PicturesAreTheStoredOnes) {
    TLaunch& pad = launch();
    EXPECT_EQ(pad.QVA->Picture().size(), QSize(80, 83));
    // The Level B picture is taller than its control, which shows its top 95 rows.
    EXPECT_EQ(pad.QVB->Picture().size(), QSize(80, 104));
    EXPECT_EQ(pad.QVC->Picture().size(), QSize(80, 88));
    EXPECT_EQ(pad.QVB->Describe()["drawing"], "natural");
    const QImage drawn = pad.grab().toImage();
    // Level A is white on green: its green shows at the control's corner area.
    const QColor levelA = drawn.pixelColor(64 + 4, 84 + 4);
    EXPECT_GT(levelA.green(), levelA.red() + 40);

    pad.ShowBookChoice(); // the covers are decoded for the book view
    for (PictureBox* cover : {pad.Ann, pad.TopDog, pad.Tip, pad.UpUp, pad.GetSet}) {
        EXPECT_FALSE(cover->Picture().isNull()) << cover->objectName().toStdString();
        EXPECT_EQ(cover->Describe()["drawing"], "stretched");
    }
}

TEST_F(LaunchPadTest, HintsOnTheSixUnavailablePicturesOnly) {
    const nlohmann::json controls = launch().Describe()["controls"];
    for (const auto& [name, control] : controls.items()) {
        const bool unavailable = name == "QVB" || name == "QVC" || name == "TopDog" ||
                                 name == "Tip" || name == "UpUp" || name == "GetSet";
        if (control.contains("showHint")) {
            EXPECT_EQ(control["showHint"], unavailable) << name;
            EXPECT_EQ(control["hint"], unavailable ? "Not available in Demo!" : "") << name;
        }
    }
    EXPECT_EQ(launch().TopDog->toolTip(), QStringLiteral("Not available in Demo!"));
    EXPECT_TRUE(launch().QVA->toolTip().isEmpty());
}

TEST_F(LaunchPadTest, NoEntryCursorExceptOverTheTwoWaysOn) {
    EXPECT_EQ(launch().Describe()["cursor"], "no-entry");
    EXPECT_EQ(launch().cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_EQ(launch().QVA->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(launch().Ann->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(launch().QVB->cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_EQ(launch().LevelA->cursor().shape(), Qt::ForbiddenCursor);
}

// One row of the state table: what happens, the view before and after.
struct Step {
    const char* name;
    std::function<void(TLaunch&)> event;
};

const Step kClickQVA{"click QVA", [](TLaunch& pad) { pad.QVA->DeliverClick(); }};
const Step kClickAnn{"click Ann", [](TLaunch& pad) { pad.Ann->DeliverClick(); }};
const Step kKeyA{"char A", [](TLaunch& pad) { pad.DeliverChar('A'); }};
const Step kKeyLowerA{"char a", [](TLaunch& pad) { pad.DeliverChar('a'); }};
const Step kKey1{"char 1", [](TLaunch& pad) { pad.DeliverChar('1'); }};
const Step kEscape{"Escape", [](TLaunch& pad) { pad.DeliverKeyDown(27); }};

TEST_F(LaunchPadTest, FollowsItsStateTable) {
    struct Row {
        std::vector<Step> before; // events that lead to the starting state
        Step event;
        View expected;
    };
    const std::vector<Row> rows = {
        {{}, kClickQVA, View::Book},
        {{}, kKeyA, View::Book},
        {{}, kKeyLowerA, View::Book},
        {{}, kEscape, View::Level},
        {{}, kKey1, View::Level},
        {{}, kClickAnn, View::Level}, // hidden, so it can't be clicked
        {{kClickQVA}, kEscape, View::Level},
        {{kClickQVA}, kKeyA, View::Book},
        {{kClickQVA}, kKeyLowerA, View::Book},
        {{kClickQVA}, kClickAnn, View::Hidden},
        {{kClickQVA}, kKey1, View::Hidden},
        {{kClickQVA}, kClickQVA, View::Book}, // hidden now, so nothing
        {{kKeyA}, kKey1, View::Hidden},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.event.name);
        // Back to the start: the level view, shown and enabled.
        launch().setEnabled(true);
        launch().show();
        launch().ShowLevelChoice();
        program().ViewBook()->hide();
        program().ViewBook()->setEnabled(false);
        for (const Step& step : row.before) {
            step.event(launch());
        }
        row.event.event(launch());
        clock_.RunDue();
        EXPECT_EQ(CurrentView(), row.expected);
        EXPECT_EQ(OuterSize(), row.expected == View::Book ? QSize(590, 400) : QSize(570, 402));
    }
    // The folder holds no narration file: each opening of the book says so, and nothing else.
    for (const std::string& error : Errors()) {
        EXPECT_EQ(error, "Cannot open the media file \"./A1Speach.wav\"");
    }
}

TEST_F(LaunchPadTest, BookViewPlacesTheNumbersUnderTheCovers) {
    launch().QVA->DeliverClick();
    const QPoint expected[] = {{95, 160}, {285, 160}, {476, 160}, {147, 328}, {407, 328}};
    const Label* numbers[] = {launch().B1, launch().B2, launch().B3, launch().B4, launch().B5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(numbers[i]->pos(), expected[i]) << i;
    }
    // The client area follows the outer size through the frame.
    EXPECT_EQ(QSize(launch().ClientWidth(), launch().ClientHeight()), QSize(582, 373));
}

TEST_F(LaunchPadTest, AInTheBookViewPassesThroughTheLevelSize) {
    launch().QVA->DeliverClick();
    std::vector<QSize> sizes;
    struct SizeWatch : QObject {
        std::function<void()> onResize;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Resize) {
                onResize();
            }
            return false;
        }
    } watch;
    watch.onResize = [&] { sizes.push_back({launch().ClientWidth(), launch().ClientHeight()}); };
    launch().installEventFilter(&watch);
    launch().DeliverChar('A');
    launch().removeEventFilter(&watch);
    EXPECT_EQ(sizes, (std::vector<QSize>{{562, 373}, {562, 375}, {582, 375}, {582, 373}}));
}

TEST_F(LaunchPadTest, OpeningTheFirstBookHandsOverToTheViewer) {
    program().Cursor() = BookCursor{};
    launch().QVA->DeliverClick();
    launch().Ann->DeliverClick();
    TViewBook* viewer = program().ViewBook();
    EXPECT_EQ(program().Cursor().CurPage, 1);
    EXPECT_EQ(program().Cursor().StoryPage, 8);
    EXPECT_FALSE(launch().OwnVisible());
    EXPECT_FALSE(launch().OwnEnabled());
    EXPECT_TRUE(viewer->OwnVisible());
    EXPECT_TRUE(viewer->OwnEnabled());
    EXPECT_TRUE(viewer->CoverTimed->Enabled());
    EXPECT_EQ(viewer->CoverTimed->Interval(), 3500);
    // The viewer's activation is a queued event that runs after the click has returned.
    EXPECT_EQ(program().ActiveFormNow(), viewer);
    EXPECT_EQ(clock_.NextDueMs(), clock_.NowMs());
    EXPECT_EQ(CurrentView(), View::Hidden);
}

TEST_F(LaunchPadTest, ReturningShowsTheLevelViewAgain) {
    launch().DeliverChar('a');
    launch().DeliverChar('1');
    // As the viewer hands back: it hides and disables itself, then enables and shows the pad.
    program().ViewBook()->hide();
    program().ViewBook()->setEnabled(false);
    launch().setEnabled(true);
    launch().show();
    clock_.RunDue();
    EXPECT_EQ(CurrentView(), View::Level);
    EXPECT_EQ(program().ActiveFormNow(), &launch());
    EXPECT_EQ(fonts_.Calls().size(), 1u); // no second start-up
}

TEST_F(LaunchPadTest, OtherKeysAndCharactersDoNothing) {
    launch().QVA->DeliverClick();
    const nlohmann::json before = launch().Describe();
    for (int key : {13, 32, 36, 37, 38, 39, 40, 49, 65, 112}) {
        launch().DeliverKeyDown(key);
    }
    for (char character : {'2', 'b', 'B', 'n', ' ', '\x1b', '\r'}) {
        launch().DeliverChar(character);
    }
    for (PictureBox* picture : {launch().TopDog, launch().Tip, launch().UpUp, launch().GetSet}) {
        picture->DeliverClick();
    }
    EXPECT_EQ(launch().Describe(), before);
}

} // namespace
} // namespace tavelio::test
