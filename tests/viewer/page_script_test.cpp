// The page script on the viewer's timers: the arrow's walk and its hand-overs, scripts that stop
// where a delay is missing, the read-through of the story page, and rhymes that wait for the
// narrator.
#include "book_fixture.h"
#include "viewer/narration.h"
#include "viewer/page_script.h"

namespace tavelio::test {
namespace {

std::string Script(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "~";
    }
    return text;
}

class PageScriptTest : public BookFixture {
protected:
    // Loads page pageNo with the script given and starts it.
    void StartScript(int pageNo, const std::vector<std::string>& lines) {
        BookPage(pageNo).ScriptText = Script(lines);
        Load(pageNo);
        StartPageScript(viewer_);
    }

    struct ArrowAt {
        bool visible;
        int left;
        int top;
        bool operator==(const ArrowAt&) const = default;
    };
    ArrowAt Arrow() {
        const PointerArrow& arrow = *view_.UpArrow;
        return {arrow.OwnVisible(), arrow.Left(), arrow.Top()};
    }
    int EnabledScriptTimers() {
        return view_.ReadBook->Enabled() + view_.ShowRhyme->Enabled() + view_.Arrows->Enabled();
    }
    std::string ShownRhymes() {
        std::string shown;
        for (const Label* rhyme : {view_.Rhyme1, view_.Rhyme2, view_.Rhyme3}) {
            shown += rhyme->OwnVisible() ? rhyme->Caption() + " " : "- ";
        }
        return shown;
    }
};

TEST_F(PageScriptTest, ArrowWalksUnderTheRuledLinesAndEndsWithTheLines) {
    // Under line 1 at 200, line 2 at 350, line 3 at 100; code 9 moves along at 300; code 0 hides.
    StartScript(3, {"3", "1000", "1", "200", "1500", "2", "350", "1500", "3", "100", "700", "9",
                    "300", "600", "0", "500"});
    Advance(999);
    EXPECT_FALSE(Arrow().visible);
    const int line1 = view_.SolidLine2->Top() + 1;
    const int line2 = view_.SolidLine4->Top() + 1;
    const int line3 = view_.SolidLine6->Top() + 1;
    Advance(1);
    EXPECT_EQ(Arrow(), (ArrowAt{true, 200, line1}));
    Advance(1500);
    EXPECT_EQ(Arrow(), (ArrowAt{true, 350, line2}));
    Advance(1500);
    EXPECT_EQ(Arrow(), (ArrowAt{true, 100, line3}));
    Advance(700);
    EXPECT_EQ(Arrow(), (ArrowAt{true, 300, line3}));
    Advance(600);
    EXPECT_FALSE(Arrow().visible);
    EXPECT_TRUE(view_.Arrows->Enabled());
    Advance(500); // the end of the lines ends the script
    EXPECT_EQ(EnabledScriptTimers(), 0);
    EXPECT_FALSE(Arrow().visible);
}

TEST_F(PageScriptTest, ADelayThatNeverFiresLeavesTheArrowStanding) {
    // A missing delay line, and a negative delay, both stop the script where it is.
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"3", "800", "1", "200"},
          std::vector<std::string>{"3", "800", "2", "250", "-5"}}) {
        SCOPED_TRACE(lines.size());
        StartScript(3, lines);
        Advance(800);
        const ArrowAt standing = Arrow();
        EXPECT_TRUE(standing.visible);
        Advance(60000);
        EXPECT_EQ(Arrow(), standing);
        EXPECT_TRUE(view_.Arrows->Enabled());
    }
}

TEST_F(PageScriptTest, ArrowHandsOverToRhymes) {
    StartScript(3, {"3", "800", "1", "200", "400", "5", "1200", "cat", "hat", "bat"});
    Advance(1200);
    EXPECT_FALSE(Arrow().visible);
    EXPECT_FALSE(view_.Arrows->Enabled());
    EXPECT_TRUE(view_.ShowRhyme->Enabled());
    EXPECT_EQ(ShownRhymes(), "- - - ");
    Advance(1199);
    EXPECT_EQ(ShownRhymes(), "- - - ");
    Advance(1);
    EXPECT_EQ(ShownRhymes(), "cat hat bat ");
    EXPECT_EQ(EnabledScriptTimers(), 0);
    ResetScript(viewer_);
    EXPECT_EQ(ShownRhymes(), "- - - ");
}

TEST_F(PageScriptTest, ArrowHandsOverToAReadThroughThatNamesNoRecord) {
    // On page 2 the read-through's steps name slots 3 - 8 + k, outside the table: the lines step
    // and no picture is shown, without an error.
    BookPage(2).PageText = "one~two~three";
    StartScript(2, {"3", "100", "1", "200", "100", "4", "50", "60", "70"});
    Advance(200);
    EXPECT_TRUE(view_.ReadBook->Enabled());
    EXPECT_EQ(viewer_.script.ReadBase, 5);
    EXPECT_EQ(view_.Text1->Caption(), "one");
    Advance(50);
    EXPECT_EQ(view_.Text1->Caption(), "two");
    EXPECT_EQ(view_.ReadBook->Interval(), 60);
    Advance(60);
    EXPECT_EQ(view_.Text1->Caption(), "three");
    Advance(70); // the tick after step 2 ends it
    EXPECT_FALSE(view_.ReadBook->Enabled());
    EXPECT_EQ(view_.Text1->Caption(), "three");
    EXPECT_TRUE(view_.BackGround->Picture().isNull());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PageScriptTest, ScriptsStopAtTheirFirstTickWhileNarrationIsOff) {
    settings_.SoundOn = false;
    StartScript(3, {"3", "100", "1", "200", "100"});
    Advance(100);
    EXPECT_FALSE(Arrow().visible);
    EXPECT_EQ(EnabledScriptTimers(), 0);
    StartScript(3, {"1", "100", "100", "100", "100", "100"});
    Advance(100);
    EXPECT_EQ(view_.Text1->Caption(), "Page 3");
    EXPECT_EQ(EnabledScriptTimers(), 0);
}

TEST_F(PageScriptTest, RhymesWaitForTheNarrator) {
    settings_.SoundOn = false;
    StartScript(6, {"2", "700", "feed", "weed", "seed"});
    EXPECT_EQ(EnabledScriptTimers(), 0);
    Advance(5000);
    EXPECT_EQ(ShownRhymes(), "- - - ");
    ToggleNarration(viewer_); // on: script and narration start together
    EXPECT_EQ(view_.TextSpeachPlay->Mode(), TMediaPlayer::kPlaying);
    Advance(700);
    EXPECT_EQ(ShownRhymes(), "feed weed seed ");
    ToggleNarration(viewer_); // off again: the words go
    EXPECT_EQ(ShownRhymes(), "- - - ");
}

// The story page with a picture of its own width for every page, so that the picture shows which
// page it is.
class StoryReadThroughTest : public PageScriptTest {
protected:
    StoryReadThroughTest() {
        std::vector<StoredPicture> pictures;
        for (int pageNo = 0; pageNo <= kStoryPage; ++pageNo) {
            pictures.push_back(
                {pageNo + 1, PictureBytes(PictureWidth(pageNo), 10, Qt::white, "BMP"), "bmp"});
        }
        WriteArchive(pictures);
        QVDBType& story = BookPage(kStoryPage);
        story.PageKind = 2;
        story.PageText.clear();
        for (int group = 0; group <= kStoryPage; ++group) {
            story.PageText += "g" + std::to_string(group) + "a~g" + std::to_string(group) + "b~";
        }
        std::vector<std::string> script{"1", "500"};
        for (int step = 1; step <= kStoryPage; ++step) {
            script.push_back(std::to_string(1000 + step));
        }
        StartScript(kStoryPage, script);
    }

    static int PictureWidth(int pageNo) { return 20 + pageNo; }

    // The ruled lines and the page whose picture shows.
    std::string Shown() {
        const int width = view_.BackGround->Picture().width();
        return view_.Text1->Caption() + " " + view_.Text2->Caption() + " p" +
               std::to_string(width - PictureWidth(0));
    }
};

TEST_F(StoryReadThroughTest, StepsThroughTheStoryAndItsPicturesThenEnds) {
    EXPECT_EQ(Shown(), "g0a g0b p8");
    Advance(500);
    EXPECT_EQ(Shown(), "g1a g1b p1");
    for (int step = 2; step <= kStoryPage; ++step) {
        SCOPED_TRACE(step);
        Advance(1000 + step - 1 - 1);
        EXPECT_EQ(Shown(), "g" + std::to_string(step - 1) + "a g" + std::to_string(step - 1) +
                               "b p" + std::to_string(step - 1));
        Advance(1);
        EXPECT_EQ(Shown(), "g" + std::to_string(step) + "a g" + std::to_string(step) + "b p" +
                               std::to_string(step));
    }
    EXPECT_EQ(Shown(), "g8a g8b p8"); // the last step shows the story page's own picture
    EXPECT_TRUE(view_.ReadBook->Enabled());
    Advance(1000 + kStoryPage);
    EXPECT_FALSE(view_.ReadBook->Enabled());
    EXPECT_EQ(Shown(), "g8a g8b p8");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StoryReadThroughTest, SwitchingNarrationPutsThePageBackAndOnReadsItAgain) {
    Advance(500 + 1001);
    EXPECT_EQ(Shown(), "g2a g2b p2");
    ToggleNarration(viewer_);
    EXPECT_EQ(Shown(), "g0a g0b p8");
    EXPECT_FALSE(view_.ReadBook->Enabled());
    ToggleNarration(viewer_);
    EXPECT_EQ(Shown(), "g0a g0b p8");
    Advance(500);
    EXPECT_EQ(Shown(), "g1a g1b p1");
}

} // namespace
} // namespace tavelio::test
