// The cursor moves, the loading of a record and the layout of a page by its role and kind.
#include "viewer/page_layout.h"
#include "viewer_fixture.h"

#include <QRect>

namespace tavelio::test {
namespace {

class PageLayoutTest : public ViewerFixture {
protected:
    PageLayoutTest() {
        for (int slot = PageTable::kFirstSlot; slot <= PageTable::kLastSlot; ++slot) {
            pages_.At(slot).Title = std::to_string(slot); // which record was loaded
            pages_.At(slot).PromptText = " ";
        }
    }

    // The record under the cursor, as a page of the open book with StoryPage 8.
    QVDBType& Current() { return pages_.At(cursor_.CurPage); }

    void Lay() {
        ArrangePageFrame(viewer_);
        PlacePageMedia(viewer_);
    }

    int ButtonsTop() const {
        EXPECT_EQ(view_.Previous->Top(), view_.Next->Top());
        EXPECT_EQ(view_.Home->Top(), view_.Next->Top());
        return view_.Next->Top();
    }
    QRect Picture() const {
        const PictureBox& box = *view_.BackGround;
        return {box.Left(), box.Top(), box.Width(), box.Height()};
    }
};

TEST_F(PageLayoutTest, CursorMovesStayInTheTableAndLoadTheNewRecord) {
    struct Move {
        const char* what;
        std::uint8_t from;
        void (*move)(Viewer&);
        std::uint8_t to;
    };
    const Move moves[] = {
        {"next from the last slot", 224, NextRecord, 1},
        {"next", 7, NextRecord, 8},
        {"back from the first slot", 1, PrevRecord, 224},
        {"back", 9, PrevRecord, 8},
        {"back to slot 0", 5, [](Viewer& v) { MoveRecord(v, -5); }, 224},
        {"back four", 9, [](Viewer& v) { MoveRecord(v, -4); }, 5},
        {"on one", 224, [](Viewer& v) { MoveRecord(v, 1); }, 1},
        {"past the last slot", 220, [](Viewer& v) { MoveRecord(v, 10); }, 6},
        {"below slot 1", 3, [](Viewer& v) { MoveRecord(v, -10); }, 25}, // 249 in 8 bits
    };
    for (const Move& move : moves) {
        cursor_.CurPage = move.from;
        move.move(viewer_);
        EXPECT_EQ(cursor_.CurPage, move.to) << move.what;
        EXPECT_EQ(view_.Show4->Text(), std::to_string(move.to)) << move.what;
    }
}

// The memos hold the record's "~" lines; the hidden diagnostic fields its values, numbers with
// the sign and width of their fields, an empty slot's zero letter as nothing.
TEST_F(PageLayoutTest, LoadPageShowsTheRecordsLinesAndValues) {
    QVDBType& page = Current();
    page = QVDBType{1,      3,        'A',  "Ann", "Listen.~~Repeat.~",
                    1024,   500,      "NA", -1,    -32768,
                    "None", "a~b~~",  -5,   70000, -1,
                    "x~y",  "3~1000~"};
    LoadPage(viewer_);
    using Lines = std::vector<std::string>;
    EXPECT_EQ(view_.Instructions->Lines(), (Lines{"Listen.", "", "Repeat."}));
    EXPECT_EQ(view_.Text->Lines(), (Lines{"a", "b", ""}));
    EXPECT_EQ(view_.VoicePrompt->Lines(), (Lines{"x", "y"}));
    EXPECT_EQ(view_.ScriptStrings->Lines(), (Lines{"3", "1000"}));
    EXPECT_EQ(view_.Show3->Text(), "A");
    EXPECT_EQ(view_.Show10->Text(), "-32768"); // MediaWidth
    EXPECT_EQ(view_.Show14->Text(), "70000");  // SpeechEnd
    EXPECT_EQ(view_.Show15->Text(), "-1");     // PageKind
    EXPECT_FALSE(view_.Show15->OwnVisible());

    page = QVDBType();
    page.PicType = "NA";
    page.PromptText = " ";
    LoadPage(viewer_);
    EXPECT_EQ(view_.Show3->Text(), "");
    EXPECT_EQ(view_.VoicePrompt->Lines(), (Lines{" "}));
}

TEST_F(PageLayoutTest, RuledTextLinesShowTheLinesTheTextMemoHoldsNow) {
    const auto shown = [this] {
        std::string captions;
        for (const Label* line : {view_.Text1, view_.Text2, view_.Text3}) {
            captions += line->OwnVisible() ? "[" + line->Caption() + "]" : "-";
        }
        return captions + (view_.Text->OwnVisible() ? " memo" : "");
    };
    Current().PageText = "one~two~three~four";
    const std::pair<int, const char*> kinds[] = {{-1, "---"},
                                                 {0, "---"},
                                                 {1, "[one]--"},
                                                 {2, "[one][two]-"},
                                                 {3, "[one][two][three]"},
                                                 {4, "--- memo"},
                                                 {6, "--- memo"},
                                                 {7, "---"}};
    for (const auto& [kind, expected] : kinds) {
        Current().PageKind = static_cast<std::int8_t>(kind);
        LoadPage(viewer_);
        EXPECT_EQ(shown(), expected) << "PageKind " << kind;
    }

    // A read-through turns the memo's lines; missing lines give empty captions.
    Current().PageKind = 3;
    view_.Text->SetLines({"five"});
    ShowTextLines(viewer_);
    EXPECT_EQ(shown(), "[five][][]");
}

// Every PageKind from -1 to 7 through ArrangePageFrame and PlacePageMedia, on ordinary page 3
// with the ruled lines at home and the page frame applied.
struct KindCase {
    int kind;
    int rules;       // ruled lines shown (each: two solid rules and a dotted one)
    bool textLayout; // the Text memo's layout rather than the picture's
    int buttonsTop;  // page buttons
    QRect picture;   // BackGround
};

class PageKindTest : public PageLayoutTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PageKindTest, ArrangesAndPlacesThePage) {
    const KindCase& c = GetParam();
    Current().PageNo = 3;
    Current().PageKind = static_cast<std::int8_t>(c.kind);
    Current().MediaWidth = 300;
    Current().MediaHeight = 200;
    view_.SetClientSize(792, 573);
    ApplyPageFrame(viewer_);
    for (GlyphButton* button : {view_.Previous, view_.Home, view_.Next}) {
        button->SetTop(100); // where the last page left them
    }
    Lay();

    const RuleLine* rules[3][3] = {{view_.SolidLine1, view_.DotLine1, view_.SolidLine2},
                                   {view_.SolidLine3, view_.DotLine2, view_.SolidLine4},
                                   {view_.SolidLine5, view_.DotLine3, view_.SolidLine6}};
    for (int line = 0; line < 3; ++line) {
        for (const RuleLine* rule : rules[line]) {
            EXPECT_EQ(rule->OwnVisible(), line < c.rules) << rule->objectName().toStdString();
        }
    }
    const Memo& instructions = *view_.Instructions;
    EXPECT_EQ(view_.BackGround->OwnVisible(), !c.textLayout);
    EXPECT_EQ(view_.Note->OwnVisible(), c.textLayout);
    EXPECT_EQ(instructions.Width(), c.textLayout ? 110 : 193);
    EXPECT_EQ(instructions.FontHeight(), c.textLayout ? 16 : 19);
    EXPECT_EQ(instructions.Describe()["borderStyle"], c.textLayout ? "none" : "single");
    const Memo& prompt = *view_.VoicePrompt;
    EXPECT_EQ(QRect(prompt.Left(), prompt.Top(), prompt.Width(), prompt.Height()),
              c.textLayout ? QRect(135, 155, 506, 60) : QRect(24, 290, 121, 60));
    EXPECT_EQ(ButtonsTop(), c.buttonsTop);
    EXPECT_EQ(Picture(), c.picture);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PageKindTest,
                         ::testing::Values(KindCase{-1, 0, false, 100, QRect(225, 25, 315, 225)},
                                           KindCase{0, 0, false, 231, QRect(225, 25, 304, 204)},
                                           KindCase{1, 1, false, 325, QRect(225, 25, 315, 225)},
                                           KindCase{2, 2, false, 391, QRect(225, 25, 315, 225)},
                                           KindCase{3, 3, false, 457, QRect(225, 25, 315, 225)},
                                           KindCase{4, 0, true, 215, QRect(225, 25, 315, 225)},
                                           KindCase{5, 0, true, 215, QRect(225, 25, 315, 225)},
                                           KindCase{6, 0, true, 215, QRect(225, 25, 315, 225)},
                                           KindCase{7, 0, true, 215, QRect(225, 25, 315, 225)}));

TEST_F(PageLayoutTest, TheButtonsFollowTheRuledLinesWhereverTheyAre) {
    Current().PageKind = 2;
    PutRuledLinesUnder(viewer_, 300);
    EXPECT_EQ(view_.Text1->Top(), 327);
    EXPECT_EQ(view_.SolidLine6->Top(), 507);
    Lay();
    EXPECT_EQ(ButtonsTop(), 327 + 66 + 71 + 2);
    PutRuledLinesHome(viewer_);
    EXPECT_EQ(view_.Text1->Top(), 252);
    EXPECT_EQ(view_.DotLine3->Top(), 412);
}

TEST_F(PageLayoutTest, APictureIsFittedToTheClientAreaOfTheMoment) {
    Current().PageKind = 0;
    ApplyPageFrame(viewer_);
    struct Fit {
        QSize client;
        QSize media;
        QSize picture;
    };
    const Fit fits[] = {
        {{792, 573}, {600, 300}, {562, 282}}, // too wide
        {{792, 573}, {556, 546}, {552, 543}}, // fits the width, then too tall
        {{792, 573}, {100, 50}, {104, 54}},   // natural size and 4 more
        {{1016, 741}, {600, 300}, {604, 304}},
        {{1016, 741}, {556, 546}, {560, 550}},
        {{1016, 741}, {900, 900}, {711, 711}},
        // Sizes of a broken record or a window with no room give no picture, not a negative one.
        {{792, 573}, {-30, 100}, {0, 104}},
        {{200, 20}, {100, 50}, {0, 0}},
    };
    for (const Fit& fit : fits) {
        view_.SetClientSize(fit.client.width(), fit.client.height());
        Current().MediaWidth = static_cast<std::int16_t>(fit.media.width());
        Current().MediaHeight = static_cast<std::int16_t>(fit.media.height());
        PlacePageMedia(viewer_);
        EXPECT_EQ(Picture(), QRect(QPoint(225, 25), fit.picture)) << fit.media.width();
        EXPECT_EQ(ButtonsTop(), fit.picture.height() + 27) << fit.media.width();
    }
}

TEST_F(PageLayoutTest, TheNarratorsWordsShowInWritingOnlyWhenNarrationIsOff) {
    const auto shown = [this] {
        return std::string(view_.VoicePrompt->OwnVisible() ? "prompt" : "-") +
               (view_.VoiceOnly->OwnVisible() ? " voice" : " -") +
               (view_.AnswersLabel->OwnVisible() ? " answers" : " -");
    };
    struct Case {
        int pageNo;
        const char* prompt;
        bool soundOn;
        const char* expected;
    };
    const Case cases[] = {
        {3, "Ann has a seed.", false, "prompt voice -"},
        {3, "Ann has a seed.", true, "- - -"},
        {3, " ", false, "- - -"},
        {9, "1. A seed.", false, "prompt - answers"}, // the answers page
        {9, "1. A seed.", true, "prompt - answers"},
        {9, " ", false, "prompt - answers"},
    };
    for (const Case& c : cases) {
        view_.AnswersLabel->SetVisible(false);
        Current().PageNo = static_cast<std::uint8_t>(c.pageNo);
        Current().PromptText = c.prompt;
        settings_.SoundOn = c.soundOn;
        Lay();
        EXPECT_EQ(shown(), c.expected) << c.pageNo << " '" << c.prompt << "' " << c.soundOn;
    }
}

TEST_F(PageLayoutTest, OnlyTheStoryPageScrollsItsInstructions) {
    for (int pageNo : {7, 8, 9}) {
        Current().PageNo = static_cast<std::uint8_t>(pageNo);
        ArrangePageFrame(viewer_);
        EXPECT_EQ(view_.Instructions->ScrollBarsShown(),
                  pageNo == 8 ? Memo::ScrollBars::Vertical : Memo::ScrollBars::None);
    }
}

} // namespace
} // namespace tavelio::test
